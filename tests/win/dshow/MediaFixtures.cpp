#include "MediaFixtures.h"

#include <cstring>
#include <string>

namespace kyrtest {
namespace {

class RiffWriter {
public:
    void Fourcc(const char* f) { bytes_.insert(bytes_.end(), f, f + 4); }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void U16(uint16_t v) {
        bytes_.push_back(static_cast<uint8_t>(v));
        bytes_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void Bytes(const std::vector<uint8_t>& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    // Opens a chunk (or a RIFF/LIST with its form type) and returns where its size goes.
    size_t Open(const char* id, const char* form = nullptr) {
        Fourcc(id);
        const size_t at = bytes_.size();
        U32(0);
        if (form) Fourcc(form);
        return at;
    }
    void Close(size_t sizeAt) {
        const uint32_t size = static_cast<uint32_t>(bytes_.size() - sizeAt - 4);
        for (int i = 0; i < 4; ++i) bytes_[sizeAt + i] = static_cast<uint8_t>(size >> (8 * i));
        if (size & 1) bytes_.push_back(0);  // chunks are word-aligned
    }
    size_t Size() const { return bytes_.size(); }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace

WaveFixture MakeWave(uint32_t sampleCount) {
    WaveFixture w;
    for (uint32_t i = 0; i < sampleCount; ++i) {
        const uint16_t s = static_cast<uint16_t>(i * 37u);
        w.pcm.push_back(static_cast<uint8_t>(s));
        w.pcm.push_back(static_cast<uint8_t>(s >> 8));
    }
    RiffWriter r;
    const size_t riff = r.Open("RIFF", "WAVE");
    const size_t fmt = r.Open("fmt ");
    r.U16(1);       // PCM
    r.U16(1);       // mono
    r.U32(8000);    // samples per second
    r.U32(16000);   // bytes per second
    r.U16(2);       // block align
    r.U16(16);      // bits per sample
    r.Close(fmt);
    const size_t data = r.Open("data");
    r.Bytes(w.pcm);
    r.Close(data);
    r.Close(riff);
    w.file = r.Take();
    return w;
}

AviFixture MakeAvi(uint32_t width, uint32_t height, uint32_t frameCount, uint32_t fps) {
    AviFixture a;
    const uint32_t stride = (width * 3 + 3) & ~3u;
    const uint32_t frameSize = stride * height;
    for (uint32_t f = 0; f < frameCount; ++f) {
        std::vector<uint8_t> frame(frameSize);
        for (uint32_t i = 0; i < frameSize; ++i) frame[i] = static_cast<uint8_t>(f * 29 + i * 3);
        a.frames.push_back(std::move(frame));
    }
    RiffWriter r;
    const size_t riff = r.Open("RIFF", "AVI ");
    const size_t hdrl = r.Open("LIST", "hdrl");
    const size_t avih = r.Open("avih");
    r.U32(1000000 / fps);           // microseconds per frame
    r.U32(frameSize * fps);         // max bytes per second
    r.U32(0);                       // padding granularity
    r.U32(0x10);                    // AVIF_HASINDEX
    r.U32(frameCount);
    r.U32(0);                       // initial frames
    r.U32(1);                       // streams
    r.U32(frameSize);               // suggested buffer size
    r.U32(width);
    r.U32(height);
    for (int i = 0; i < 4; ++i) r.U32(0);
    r.Close(avih);
    const size_t strl = r.Open("LIST", "strl");
    const size_t strh = r.Open("strh");
    r.Fourcc("vids");
    r.Fourcc("DIB ");
    r.U32(0);                       // flags
    r.U16(0);                       // priority
    r.U16(0);                       // language
    r.U32(0);                       // initial frames
    r.U32(1);                       // scale
    r.U32(fps);                     // rate: fps / 1 frames per second
    r.U32(0);                       // start
    r.U32(frameCount);              // length in frames
    r.U32(frameSize);               // suggested buffer size
    r.U32(0xFFFFFFFFu);             // quality: default
    r.U32(0);                       // sample size: varies (one frame per chunk)
    r.U16(0);
    r.U16(0);
    r.U16(static_cast<uint16_t>(width));
    r.U16(static_cast<uint16_t>(height));
    r.Close(strh);
    const size_t strf = r.Open("strf");
    r.U32(40);                      // BITMAPINFOHEADER
    r.U32(width);
    r.U32(height);                  // positive: bottom-up rows
    r.U16(1);                       // planes
    r.U16(24);                      // bits per pixel
    r.U32(0);                       // BI_RGB
    r.U32(frameSize);
    r.U32(0);
    r.U32(0);
    r.U32(0);
    r.U32(0);
    r.Close(strf);
    r.Close(strl);
    r.Close(hdrl);
    const size_t movi = r.Open("LIST", "movi");
    const size_t moviFourcc = movi + 4;  // idx1 offsets count from the 'movi' form type
    std::vector<uint32_t> offsets;
    for (const auto& frame : a.frames) {
        offsets.push_back(static_cast<uint32_t>(r.Size() - moviFourcc));
        const size_t chunk = r.Open("00db");
        r.Bytes(frame);
        r.Close(chunk);
    }
    r.Close(movi);
    const size_t idx1 = r.Open("idx1");
    for (uint32_t f = 0; f < frameCount; ++f) {
        r.Fourcc("00db");
        r.U32(0x10);                // AVIIF_KEYFRAME
        r.U32(offsets[f]);
        r.U32(frameSize);
    }
    r.Close(idx1);
    r.Close(riff);
    a.file = r.Take();
    return a;
}

}  // namespace kyrtest
