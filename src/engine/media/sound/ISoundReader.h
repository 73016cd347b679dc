// The engine's sound-data reader: a decoder that hands out a sound's format and its raw
// samples, so sound buffers and media streams do not care what file the sound came from.
#pragma once

#include <cstdint>

#include "engine/core/IDataStream.h"
#include "engine/core/IKYRInterface.h"

namespace KYR {

// The format record readers hand out: the layout of WAVEFORMATEX (18 bytes, packed) and two
// spare bytes, 20 in all, so Windows code passes it to DirectSound as a WAVEFORMATEX.
#pragma pack(push, 1)
struct SoundFormat {
    uint16_t formatTag;       // 1: PCM
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;      // bytes per sample frame, all channels
    uint16_t bitsPerSample;
    uint16_t extraSize;       // cbSize
    uint16_t spare;           // always 0
};
#pragma pack(pop)
static_assert(sizeof(SoundFormat) == 20, "the format record is 20 bytes");

constexpr uint16_t kFormatPcm = 1;  // WAVE_FORMAT_PCM

class ISoundReader : public IKYRInterface {
public:
    // Takes a reference on the stream. False when already open, for a null stream or for data
    // the reader cannot decode.
    virtual bool Open(IDataStream* stream) = 0;
    // Delivers up to `bytes` of sound data into `buffer` and says how many arrived (when
    // `delivered` is not null). False, with 0 delivered, when not open or at the end.
    virtual bool ReadData(uint32_t bytes, void* buffer, uint32_t* delivered) = 0;
    // Back to the first byte of the sound data.
    virtual void Rewind() = 0;
    virtual void GetFormat(SoundFormat* format) = 0;
    // Milliseconds of sound; 0 when not open.
    virtual uint32_t GetLength() = 0;
    virtual uint32_t GetPositionMs() = 0;
    virtual void SetPositionMs(uint32_t ms) = 0;
    virtual void Close() = 0;

protected:
    // The interface has no destructor slot: a reader (the game's own among them) goes by its
    // last Release, and an implementation adds its destructor after Close.
    ~ISoundReader() = default;
};

}  // namespace KYR
