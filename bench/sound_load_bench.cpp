// CDSSoundBuffer::Load of a 5-second CD-quality WAVE from a memory stream against the bare
// DirectSound path over the same bytes (create the buffer, lock it, copy the samples in),
// measured in the same run. Load adds the chunk walk, the silence fill and the reader's copy
// through the stream, so it should stay within 1.2 times the bare path.
#include <windows.h>

#include <dsound.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "engine/core/RefPtr.h"
#include "engine/media/sound/DSSoundBuffer.h"
#include "engine/media/sound/SoundObjectIds.h"
#include "engine/media/std/StdFileStream.h"
#include "engine/media/stream/KYRDS.h"

namespace {

constexpr DWORD kRate = 44100;
constexpr DWORD kDataBytes = kRate * 4 * 5;  // 16-bit stereo, 5 s
constexpr DWORD kHeaderBytes = 44;
constexpr int kRounds = 21;

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> MakeWave() {
    std::vector<uint8_t> f = {'R', 'I', 'F', 'F'};
    Put(f, kHeaderBytes - 8 + kDataBytes, 4);
    for (char c : std::string("WAVEfmt ")) f.push_back(static_cast<uint8_t>(c));
    Put(f, 16, 4);
    Put(f, 1, 2);
    Put(f, 2, 2);
    Put(f, kRate, 4);
    Put(f, kRate * 4, 4);
    Put(f, 4, 2);
    Put(f, 16, 2);
    for (char c : std::string("data")) f.push_back(static_cast<uint8_t>(c));
    Put(f, kDataBytes, 4);
    for (DWORD i = 0; i < kDataBytes; ++i) f.push_back(static_cast<uint8_t>(i * 13 + (i >> 8)));
    return f;
}

double BareUs(IDirectSound8* ds, const std::vector<uint8_t>& file) {
    const double start = bench::NowUs();
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = kRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = kRate * 4;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                   DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = kDataBytes;
    desc.lpwfxFormat = &format;
    KYR::RefPtr<IDirectSoundBuffer> plain;
    KYR::RefPtr<IDirectSoundBuffer8> buffer;
    if (SUCCEEDED(ds->CreateSoundBuffer(&desc, plain.Put(), nullptr)) &&
        SUCCEEDED(plain->QueryInterface(IID_IDirectSoundBuffer8,
                                        reinterpret_cast<void**>(buffer.Put())))) {
        void *p1, *p2;
        DWORD n1, n2;
        if (SUCCEEDED(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER))) {
            std::memcpy(p1, file.data() + kHeaderBytes, n1);
            buffer->Unlock(p1, n1, p2, n2);
        }
    }
    return bench::NowUs() - start;
}

double LoadUs(KYR::CKYRDS& ds, const std::vector<uint8_t>& file) {
    const double start = bench::NowUs();
    KYR::RefPtr<KYR::CStdFileStream> stream(new KYR::CStdFileStream);
    stream->OpenMemory(file.data(), static_cast<uint32_t>(file.size()));
    KYR::RefPtr<KYR::IDSSoundBuffer> sound(
        static_cast<KYR::IDSSoundBuffer*>(ds.CreateObject(KYR::kIdDSSoundBuffer)));
    const bool ok = sound->Load(stream.Get(), nullptr);
    const double us = bench::NowUs() - start;
    if (!ok) std::fprintf(stderr, "sound bench: Load failed\n");
    return us;
}

}  // namespace

int main() {
    HWND window = CreateWindowExA(0, "STATIC", "sound bench", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    KYR::RefPtr<KYR::CKYRDS> ds(new KYR::CKYRDS);
    if (!ds->Initialize(window)) {
        std::fprintf(stderr, "sound bench: no DirectSound (is there an ALSA default device?)\n");
        return 1;
    }
    auto* raw = static_cast<IDirectSound8*>(ds->CreateObject(KYR::kIdDirectSoundObject));
    const std::vector<uint8_t> file = MakeWave();
    BareUs(raw, file);  // warm up both paths
    LoadUs(*ds.Get(), file);
    std::vector<double> bare, load;
    for (int i = 0; i < kRounds; ++i) {  // alternated: outside load falls on both sides
        bare.push_back(BareUs(raw, file));
        load.push_back(LoadUs(*ds.Get(), file));
    }
    ds.Reset();
    DestroyWindow(window);
    const double bareUs = bench::Median(bare), loadUs = bench::Median(load);
    std::printf("bare CreateSoundBuffer + Lock + copy (5 s CD audio): %10.0f us\n", bareUs);
    std::printf("CDSSoundBuffer::Load from a memory stream:           %10.0f us\n", loadUs);
    bench::PrintRatio("sound_load", loadUs / bareUs, "at most 1.20");
    return 0;
}
