#include "engine/media/sound/DSSoundBuffer.h"

#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

#include "engine/media/sound/SoundObjectIds.h"
#include "engine/media/sound/SoundScales.h"
#include "engine/media/sound/WavRead.h"

namespace KYR {
namespace {

// DirectSound reads the format record as a WAVEFORMATEX.
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is packed");
static_assert(offsetof(SoundFormat, samplesPerSec) == offsetof(WAVEFORMATEX, nSamplesPerSec) &&
                  offsetof(SoundFormat, blockAlign) == offsetof(WAVEFORMATEX, nBlockAlign) &&
                  offsetof(SoundFormat, extraSize) == offsetof(WAVEFORMATEX, cbSize),
              "SoundFormat mirrors WAVEFORMATEX");

// Software mixing with every control the engine offers; GLOBALFOCUS keeps the sound audible
// while another window is in front (the game's own dialogs among them).
constexpr DWORD kSecondaryFlags = DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY |
                                  DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS |
                                  DSBCAPS_GETCURRENTPOSITION2;

// The buffer holds what the reader's length in milliseconds covers, in whole sample frames
// (a partial frame at the end would be noise). 0 when that is more than DirectSound allows.
uint32_t BufferBytes(uint32_t lengthMs, const SoundFormat& format) {
    const double bytes = lengthMs / 1000.0 * format.avgBytesPerSec;
    if (bytes > DSBSIZE_MAX) return 0;
    uint32_t size = static_cast<uint32_t>(bytes);
    if (format.blockAlign != 0) size -= size % format.blockAlign;
    return size;
}

// Silence first, so whatever the reader does not deliver plays as nothing: unsigned 8-bit
// samples are silent at 128, signed 16-bit and wider at 0.
bool FillBuffer(IDirectSoundBuffer8* buffer, ISoundReader* reader, const SoundFormat& format) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    if (FAILED(buffer->Lock(0, 0, &first, &firstBytes, &second, &secondBytes,
                            DSBLOCK_ENTIREBUFFER)))
        return false;
    const int silence = format.bitsPerSample == 8 ? 128 : 0;
    std::memset(first, silence, firstBytes);
    if (second) std::memset(second, silence, secondBytes);
    // Readers may hand the data out in pieces.
    uint8_t* at = static_cast<uint8_t*>(first);
    uint32_t left = firstBytes;
    uint32_t got = 0;
    while (left > 0 && reader->ReadData(left, at, &got) && got > 0 && got <= left) {
        at += got;
        left -= got;
    }
    buffer->Unlock(first, firstBytes, second, secondBytes);
    return true;
}

// Closes the reader however Load leaves.
class ReaderCloser {
public:
    explicit ReaderCloser(ISoundReader* reader) : reader_(reader) {}
    ~ReaderCloser() { reader_->Close(); }
    ReaderCloser(const ReaderCloser&) = delete;
    ReaderCloser& operator=(const ReaderCloser&) = delete;

private:
    ISoundReader* reader_;
};

}  // namespace

CDSSoundBuffer::CDSSoundBuffer(IKYRDS* owner) : owner_(RefPtr<IKYRDS>::AddRefOf(owner)) {}

bool CDSSoundBuffer::Load(IDataStream* stream, ISoundReader* reader) {
    // The caller hands its reference on the reader over: it is given up when Load returns,
    // whatever the outcome, like our own WAVE reader.
    RefPtr<ISoundReader> source(reader ? reader : new (std::nothrow) CWavRead);
    IDirectSound8* ds =
        owner_ ? static_cast<IDirectSound8*>(owner_->CreateObject(kIdDirectSoundObject))
               : nullptr;
    if (!ds || !source || !source->Open(stream)) return false;
    ReaderCloser closer(source.Get());

    source->Rewind();
    SoundFormat format = {};
    source->GetFormat(&format);
    const uint32_t size = BufferBytes(source->GetLength(), format);

    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = kSecondaryFlags;
    desc.dwBufferBytes = size;
    // SoundFormat has WAVEFORMATEX's packed layout; DirectSound ignores cbSize for PCM.
    desc.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(&format);
    RefPtr<IDirectSoundBuffer> plain;
    if (size == 0 || FAILED(ds->CreateSoundBuffer(&desc, plain.Put(), nullptr))) return false;
    RefPtr<IDirectSoundBuffer8> buffer;
    if (FAILED(plain->QueryInterface(IID_IDirectSoundBuffer8,
                                     reinterpret_cast<void**>(buffer.Put()))))
        return false;
    if (!FillBuffer(buffer.Get(), source.Get(), format)) return false;
    const uint32_t lengthMs = source->GetLength();
    if (lengthMs == 0) return false;

    // Replacing the buffer releases the old one, which stops it if it was playing.
    buffer_ = std::move(buffer);
    directSound_ = RefPtr<IDirectSound8>::AddRefOf(ds);
    format_ = format;
    bufferSize_ = size;
    lengthMs_ = lengthMs;
    playing_ = false;
    loaded_ = true;
    return true;
}

void CDSSoundBuffer::Unload() {
    buffer_.Reset();
    directSound_.Reset();
    loaded_ = false;
    playing_ = false;
}

void CDSSoundBuffer::Play() {
    if (!loaded_ || playing_) return;
    // A refused Play (a lost buffer, say) leaves the sound stopped rather than "ended".
    if (SUCCEEDED(buffer_->Play(0, 0, 0))) playing_ = true;
}

void CDSSoundBuffer::Pause() {
    if (!loaded_ || !playing_) return;
    buffer_->Stop();
    playing_ = false;
}

void CDSSoundBuffer::Stop() {
    if (!loaded_ || !playing_) return;
    buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    playing_ = false;
}

int32_t CDSSoundBuffer::GetStatus() {
    if (!loaded_) return kSoundNotLoaded;
    if (!playing_) return kSoundStopped;
    DWORD status = 0;
    if (SUCCEEDED(buffer_->GetStatus(&status)) && (status & DSBSTATUS_PLAYING))
        return kSoundPlaying;
    return kSoundEnded;
}

int32_t CDSSoundBuffer::GetVolume() {
    LONG millibels = 0;
    if (!loaded_ || FAILED(buffer_->GetVolume(&millibels))) return 0;
    return VolumeFromMillibels(millibels);
}

int32_t CDSSoundBuffer::GetPan() {
    LONG millibels = 0;
    if (!loaded_ || FAILED(buffer_->GetPan(&millibels))) return 0;
    return PanFromMillibels(millibels);
}

int32_t CDSSoundBuffer::GetFrequency() {
    DWORD hz = 0;
    if (!loaded_ || FAILED(buffer_->GetFrequency(&hz))) return 0;
    return PercentFromFrequency(hz, format_.samplesPerSec);
}

void CDSSoundBuffer::SetVolume(int32_t volume) {
    if (loaded_) buffer_->SetVolume(VolumeToMillibels(volume));
}

void CDSSoundBuffer::SetPan(int32_t pan) {
    if (loaded_) buffer_->SetPan(PanToMillibels(pan));
}

void CDSSoundBuffer::SetFrequency(int32_t percent) {
    if (loaded_ && percent >= 0)
        buffer_->SetFrequency(FrequencyFromPercent(percent, format_.samplesPerSec));
}

}  // namespace KYR
