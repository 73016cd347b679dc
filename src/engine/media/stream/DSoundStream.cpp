#include "engine/media/stream/DSoundStream.h"

#include <cstring>
#include <new>
#include <utility>

#include "engine/media/sound/SoundObjectIds.h"
#include "engine/media/sound/SoundScales.h"
#include "engine/media/sound/WavRead.h"
#include "engine/media/stream/StreamClock.h"

namespace KYR {
namespace {

constexpr uint32_t kBufferSeconds = 10;

// As the sound buffers': software mixing with every control the engine offers, audible
// while another window is in front, and a play cursor that is exact (GETCURRENTPOSITION2).
constexpr DWORD kStreamBufferFlags = DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY |
                                     DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                                     DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;

struct OpenFailure {
    const char* text;
};

HRESULT CreateOnDirectSound(IDirectSound8* ds, const DSBUFFERDESC& desc,
                            IDirectSoundBuffer** out) {
    if (!ds) return E_POINTER;
    return ds->CreateSoundBuffer(&desc, out, nullptr);
}

int SilenceByte(const SoundFormat& format) { return format.bitsPerSample == 8 ? 128 : 0; }

}  // namespace

CDSoundStream::CDSoundStream(IKYRDS* owner, ISoundReader* reader, BufferMaker maker)
    : owner_(RefPtr<IKYRDS>::AddRefOf(owner)),
      maker_(maker ? std::move(maker) : BufferMaker(&CreateOnDirectSound)),
      reader_(reader ? RefPtr<ISoundReader>::AddRefOf(reader)
                     : RefPtr<ISoundReader>(new (std::nothrow) CWavRead)) {}

CDSoundStream::~CDSoundStream() { Close(); }

bool CDSoundStream::Open(IDataStream* stream, bool looping, uint32_t loopPositionMs) {
    KYRAutoLock reading(&readerLock_);
    KYRAutoLock hold(&lock_);
    if (open_ || closing_) return false;
    try {
        stream_ = RefPtr<IDataStream>::AddRefOf(stream);
        if (!reader_ || !reader_->Open(stream)) throw OpenFailure{"Open Failed"};
        reader_->GetFormat(&format_);

        // Whole sample frames in each half, so a refill never splits a frame.
        const uint64_t wanted = uint64_t{format_.avgBytesPerSec} * kBufferSeconds;
        uint32_t half = wanted > DSBSIZE_MAX ? DSBSIZE_MAX / 2 : static_cast<uint32_t>(wanted / 2);
        if (format_.blockAlign != 0) half -= half % format_.blockAlign;
        bufferSize_ = half * 2;

        DSBUFFERDESC desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = kStreamBufferFlags;
        desc.dwBufferBytes = bufferSize_;
        desc.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(&format_);
        directSound_ = RefPtr<IDirectSound8>::AddRefOf(
            owner_ ? static_cast<IDirectSound8*>(owner_->CreateObject(kIdDirectSoundObject))
                   : nullptr);
        RefPtr<IDirectSoundBuffer> plain;
        if (bufferSize_ == 0 || FAILED(maker_(directSound_.Get(), desc, plain.Put())) || !plain)
            throw OpenFailure{"CreateSoundBuffer Failed"};
        if (FAILED(plain->QueryInterface(IID_IDirectSoundBuffer8,
                                         reinterpret_cast<void**>(buffer_.Put()))) ||
            !buffer_)
            throw OpenFailure{"IDirectSoundBuffer8 Create Failed"};

        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0, secondBytes = 0;
        if (FAILED(buffer_->Lock(0, 0, &first, &firstBytes, &second, &secondBytes,
                                 DSBLOCK_ENTIREBUFFER)))
            throw OpenFailure{"Soundbuffer Lock Failed"};
        std::memset(first, SilenceByte(format_), firstBytes);
        if (second) std::memset(second, SilenceByte(format_), secondBytes);
        buffer_->Unlock(first, firstBytes, second, secondBytes);

        lengthMs_ = reader_->GetLength();
        if (lengthMs_ == 0) throw OpenFailure{"Audio Length Invalid"};

        looping_ = looping;
        loopMs_ = loopPositionMs < lengthMs_ ? loopPositionMs : lengthMs_;
        buffer_->SetPan(PanToMillibels(0));
        buffer_->SetVolume(VolumeToMillibels(100));
        buffer_->SetFrequency(FrequencyFromPercent(100, format_.samplesPerSec));

        events_ = std::make_shared<CEventList>();
        if (!events_->IsValid()) throw OpenFailure{"CreateEvent Failed"};
        thread_.Reset(CreateThread(nullptr, 0, &CDSoundStream::RefillThread, this, 0, nullptr));
        if (!thread_.Valid()) throw OpenFailure{"CreateThread Failed"};
        open_ = true;
        RewindLocked();
        lastError_ = "";
        return true;
    } catch (const OpenFailure& failure) {
        lastError_ = failure.text;
    } catch (const std::bad_alloc&) {
        lastError_ = "Out Of Memory";
    }
    // No thread was started on any path that gets here.
    lengthMs_ = 0;
    loopMs_ = 0;
    looping_ = false;
    ReleaseLocked();
    return false;
}

void CDSoundStream::ReleaseLocked() {
    buffer_.Reset();
    directSound_.Reset();
    if (reader_) reader_->Close();
    stream_.Reset();
    events_.reset();
    bufferSize_ = 0;
}

DWORD WINAPI CDSoundStream::RefillThread(void* self) {
    static_cast<CDSoundStream*>(self)->RefillLoop();
    return 0;
}

void CDSoundStream::RefillLoop() {
    // The event list outlives the thread: Close joins the thread before releasing it.
    const HANDLE quit = events_->Handles()[0];
    for (;;) {
        if (WaitForSingleObject(quit, kRefillPeriodMs) != WAIT_TIMEOUT) return;
        ServiceBuffer();
    }
}

void CDSoundStream::ServiceBuffer() {
    // Which half the play cursor has uncovered is decided under the lock...
    uint32_t offset = 0;
    uint32_t half = 0;
    uint32_t loopMs = 0;
    bool wrapped = false;
    unsigned generation = 0;
    {
        KYRAutoLock hold(&lock_);
        if (!open_ || !buffer_) return;
        DWORD play = 0, write = 0;
        if (FAILED(buffer_->GetCurrentPosition(&play, &write))) return;
        half = bufferSize_ / 2;
        if (inSecondHalf_ && play < half) {
            // The cursor wrapped: the second half is played and the first is playing.
            offset = half;
            wrapped = true;
        } else if (inSecondHalf_ || play < half) {
            return;
        }
        generation = generation_;
        loopMs = loopMs_;
    }
    // ...the next five seconds are read and decoded outside it, so that none of the game's
    // calls waits for the reader...
    {
        KYRAutoLock reading(&readerLock_);
        if (generation != generation_) return;  // a Stop or seek started the buffer over
        scratch_.resize(half);
        FillBytes(scratch_.data(), half, loopMs);
    }
    // ...and written under it again, unless the buffer was started over meanwhile.
    KYRAutoLock hold(&lock_);
    if (!open_ || generation != generation_) return;
    WriteRegion(offset, scratch_.data(), half);
    if (wrapped) {
        playedMs_ += BytesToMs(bufferSize_, format_.avgBytesPerSec);
        inSecondHalf_ = false;
    } else {
        inSecondHalf_ = true;
    }
}

void CDSoundStream::RewindLocked() {
    ++generation_;
    buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    reader_->Rewind();
    playedMs_ = 0;
    inSecondHalf_ = false;
    playing_ = false;
    paused_ = false;
    endOfData_ = false;
    FillRegion(0, bufferSize_);
}

void CDSoundStream::FillRegion(uint32_t offset, uint32_t size) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    // A lost or busy buffer skips this refill; the next pass tries the other half.
    if (FAILED(buffer_->Lock(offset, size, &first, &firstBytes, &second, &secondBytes, 0)))
        return;
    FillBytes(static_cast<uint8_t*>(first), firstBytes, loopMs_);
    if (second) FillBytes(static_cast<uint8_t*>(second), secondBytes, loopMs_);
    buffer_->Unlock(first, firstBytes, second, secondBytes);
}

void CDSoundStream::WriteRegion(uint32_t offset, const uint8_t* bytes, uint32_t size) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    if (FAILED(buffer_->Lock(offset, size, &first, &firstBytes, &second, &secondBytes, 0)))
        return;
    std::memcpy(first, bytes, firstBytes);
    if (second) std::memcpy(second, bytes + firstBytes, secondBytes);
    buffer_->Unlock(first, firstBytes, second, secondBytes);
}

uint32_t CDSoundStream::ReadAll(uint8_t* at, uint32_t size) {
    uint32_t total = 0;
    uint32_t got = 0;
    while (total < size && reader_->ReadData(size - total, at + total, &got) && got > 0 &&
           got <= size - total)
        total += got;
    return total;
}

void CDSoundStream::FillBytes(uint8_t* at, uint32_t size, uint32_t loopMs) {
    uint32_t filled = endOfData_ ? 0 : ReadAll(at, size);
    if (filled < size && !endOfData_) {
        if (looping_ && loopMs < lengthMs_) {
            while (filled < size) {
                reader_->Rewind();
                reader_->SetPositionMs(loopMs);
                const uint32_t more = ReadAll(at + filled, size - filled);
                if (more == 0) break;  // nothing from the loop position: do not spin
                filled += more;
            }
        } else {
            endOfData_ = true;
        }
    }
    // Whatever is left would otherwise replay the previous pass's bytes.
    if (filled < size) std::memset(at + filled, SilenceByte(format_), size - filled);
}

void CDSoundStream::PlayBuffer() { buffer_->Play(0, 0, DSBPLAY_LOOPING); }

void CDSoundStream::Play() {
    KYRAutoLock hold(&lock_);
    if (!open_ || playing_ || PositionLocked() >= lengthMs_) return;
    PlayBuffer();
    playing_ = true;
    paused_ = false;
}

void CDSoundStream::Pause() {
    KYRAutoLock hold(&lock_);
    if (!open_ || !playing_) return;
    buffer_->Stop();
    paused_ = true;
    playing_ = false;
}

void CDSoundStream::Stop() {
    KYRAutoLock reading(&readerLock_);
    KYRAutoLock hold(&lock_);
    if (!open_ || (!playing_ && !paused_)) return;
    RewindLocked();
}

void CDSoundStream::Close() {
    ScopedHandle thread;
    {
        KYRAutoLock hold(&lock_);
        if (!open_) return;
        open_ = false;  // the thread's passes and every other caller now leave the buffer be
        closing_ = true;
        buffer_->Stop();
        buffer_->SetCurrentPosition(0);
        SetEvent(events_->Handles()[0]);
        thread = std::move(thread_);
    }
    // Outside the lock: the thread may be waiting for it in ServiceBuffer.
    if (thread.Valid()) WaitForSingleObject(thread.Get(), INFINITE);
    thread.Reset();
    KYRAutoLock reading(&readerLock_);
    KYRAutoLock hold(&lock_);
    ++generation_;
    lengthMs_ = 0;
    loopMs_ = 0;  // nothing of the closed stream answers for it, as with the graph player
    looping_ = false;
    playedMs_ = 0;
    playing_ = false;
    paused_ = false;
    endOfData_ = false;
    inSecondHalf_ = false;
    ReleaseLocked();
    closing_ = false;
}

uint32_t CDSoundStream::GetLength() {
    KYRAutoLock hold(&lock_);
    return open_ ? lengthMs_ : 0;
}

uint32_t CDSoundStream::PositionLocked() {
    DWORD play = 0, write = 0;
    if (FAILED(buffer_->GetCurrentPosition(&play, &write))) play = 0;
    // A cursor back in the first half while the second is still counted as playing has
    // wrapped before the refill thread saw it: that pass is played already.
    uint64_t played = playedMs_;
    if (inSecondHalf_ && play < bufferSize_ / 2)
        played += BytesToMs(bufferSize_, format_.avgBytesPerSec);
    return FoldPosition(played, BytesToMs(play, format_.avgBytesPerSec), lengthMs_, looping_,
                        loopMs_);
}

uint32_t CDSoundStream::GetPosition() {
    KYRAutoLock hold(&lock_);
    return open_ ? PositionLocked() : 0;
}

void CDSoundStream::SetPosition(uint32_t ms) {
    KYRAutoLock reading(&readerLock_);
    KYRAutoLock hold(&lock_);
    if (!open_ || ms > lengthMs_) return;
    ++generation_;
    buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    reader_->Rewind();
    reader_->SetPositionMs(ms);
    playedMs_ = ms;
    // The buffer starts over at its first byte: the refill thread must count from there,
    // and a sound that had run dry has data again.
    inSecondHalf_ = false;
    endOfData_ = false;
    FillRegion(0, bufferSize_);
    if (playing_) PlayBuffer();
}

int32_t CDSoundStream::GetVolume() {
    KYRAutoLock hold(&lock_);
    LONG millibels = 0;
    if (!open_ || FAILED(buffer_->GetVolume(&millibels))) return 0;
    return VolumeFromMillibels(millibels);
}

void CDSoundStream::SetVolume(int32_t volume) {
    KYRAutoLock hold(&lock_);
    if (open_) buffer_->SetVolume(VolumeToMillibels(volume));
}

int32_t CDSoundStream::GetPan() {
    KYRAutoLock hold(&lock_);
    LONG millibels = 0;
    if (!open_ || FAILED(buffer_->GetPan(&millibels))) return 0;
    return PanFromMillibels(millibels);
}

void CDSoundStream::SetPan(int32_t pan) {
    KYRAutoLock hold(&lock_);
    if (open_) buffer_->SetPan(PanToMillibels(pan));
}

int32_t CDSoundStream::GetSpeed() {
    KYRAutoLock hold(&lock_);
    DWORD hz = 0;
    if (!open_ || FAILED(buffer_->GetFrequency(&hz))) return 0;
    return PercentFromFrequency(hz, format_.samplesPerSec);
}

void CDSoundStream::SetSpeed(int32_t percent) {
    KYRAutoLock hold(&lock_);
    if (open_ && percent >= 0)
        buffer_->SetFrequency(FrequencyFromPercent(percent, format_.samplesPerSec));
}

bool CDSoundStream::IsLooping() {
    KYRAutoLock hold(&lock_);
    return looping_;
}

uint32_t CDSoundStream::GetLoopPosition() {
    KYRAutoLock hold(&lock_);
    return loopMs_;
}

void CDSoundStream::SetLoopPosition(uint32_t ms) {
    KYRAutoLock hold(&lock_);
    loopMs_ = ms < lengthMs_ ? ms : lengthMs_;
}

int32_t CDSoundStream::GetStatus() {
    KYRAutoLock hold(&lock_);
    if (!open_) return kStreamClosed;
    if (PositionLocked() >= lengthMs_) return kStreamEnded;
    if (paused_) return kStreamPaused;
    if (playing_) return kStreamPlaying;
    return kStreamStopped;
}

}  // namespace KYR
