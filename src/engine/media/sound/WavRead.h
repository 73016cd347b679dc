// CWavRead: the sound reader for uncompressed PCM RIFF WAVE data.
//
// It trusts nothing in the file beyond what the stream holds:
// - chunks are found by walking the RIFF chunk list (ids, sizes, odd sizes padded to even);
//   only when the walk finds no such chunk is the file scanned byte by byte for the id, so
//   files whose chunk sizes are wrong still open as they always have;
// - a "data" chunk that claims more than the file holds is cut to what it holds;
// - a "fmt " chunk shorter than 16 bytes, a short header read, a format other than PCM or a
//   format with a zero channel count, sample rate, bit depth or block size is refused;
// - reading at or past the end of the data is the end, wherever SetPositionMs put it.
// Lengths and positions are computed in 64 bits, so long sounds keep their milliseconds.
#pragma once

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/media/sound/ISoundReader.h"

namespace KYR {

class CWavRead : public RefCounted<ISoundReader> {
public:
    CWavRead() = default;
    ~CWavRead() override = default;

    bool Open(IDataStream* stream) override;
    bool ReadData(uint32_t bytes, void* buffer, uint32_t* delivered) override;
    void Rewind() override;
    void GetFormat(SoundFormat* format) override;
    uint32_t GetLength() override { return lengthMs_; }
    uint32_t GetPositionMs() override;
    void SetPositionMs(uint32_t ms) override;
    // Rewinds the stream to its start; the reader keeps its reference on the stream until it
    // is opened on another one or destroyed.
    void Close() override;

    // What the format record's extra-size field says; PCM readers ignore it.
    static constexpr uint16_t kExtraSize = 18;

private:
    // The chunk's contents offset and its size as the file states it, or false.
    bool FindChunk(const char (&id)[5], uint32_t* contents, uint32_t* size);
    bool WalkChunks(const char (&id)[5], uint32_t* contents, uint32_t* size);
    bool ScanForChunk(const char (&id)[5], uint32_t* contents, uint32_t* size);
    bool ReadFormat(uint32_t contents, uint32_t size);

    SoundFormat format_ = {};
    bool open_ = false;
    RefPtr<IDataStream> stream_;
    uint32_t dataStart_ = 0;  // stream offset of the first sound byte
    uint32_t lengthMs_ = 0;
    uint32_t position_ = 0;   // bytes of sound data consumed, at most dataSize_
    uint32_t dataSize_ = 0;   // bytes of sound data the stream holds
};

}  // namespace KYR
