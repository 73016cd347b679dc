// CDSoundStream: the streaming DirectSound player. A ten-second looping secondary buffer is
// kept ahead of the play cursor by a refill thread, half a buffer at a time, from a sound
// reader (a WAVE reader unless the caller brings another decoder).
//
// The thread and the control operations share the buffer and the counters under one lock,
// which the thread never holds while it reads: it decodes the next half into a buffer of
// its own under the reader's lock and writes it in under the first, unless a Stop or seek
// started the buffer over meanwhile (the generation count). Calls that move the reader
// take the reader's lock first, then the other. Close never holds either while it waits
// for the thread, since every pass of the thread takes them.
#pragma once

#include <windows.h>

#include <dsound.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/CriticalSection.h"
#include "engine/core/EventList.h"
#include "engine/core/RefPtr.h"
#include "engine/core/ScopedHandle.h"
#include "engine/media/sound/IKYRDS.h"
#include "engine/media/sound/ISoundReader.h"
#include "engine/media/stream/IStreamControl.h"

namespace KYR {

class CDSoundStream : public RefCounted<IStreamControl> {
public:
    // Makes the streaming buffer from its description on the owner's DirectSound object
    // (null when the owner has none). The default calls CreateSoundBuffer; tests put a
    // buffer of their own in its place to move the play cursor themselves.
    using BufferMaker =
        std::function<HRESULT(IDirectSound8* ds, const DSBUFFERDESC& desc, IDirectSoundBuffer** out)>;

    // Takes references on `owner` and on `reader` (a new WAVE reader when null).
    CDSoundStream(IKYRDS* owner, ISoundReader* reader, BufferMaker maker = {});
    ~CDSoundStream() override;
    CDSoundStream(const CDSoundStream&) = delete;
    CDSoundStream& operator=(const CDSoundStream&) = delete;

    bool Open(IDataStream* stream, bool looping, uint32_t loopPositionMs) override;
    // Plays from the current position, unless the sound has already ended.
    void Play() override;
    void Pause() override;
    // Stops and rewinds before it returns, so a Play straight after starts at 0.
    void Stop() override;
    void Close() override;
    uint32_t GetLength() override;
    uint32_t GetPosition() override;
    void SetPosition(uint32_t ms) override;
    int32_t GetVolume() override;
    void SetVolume(int32_t volume) override;
    int32_t GetPan() override;
    void SetPan(int32_t pan) override;
    int32_t GetSpeed() override;
    void SetSpeed(int32_t percent) override;
    bool IsLooping() override;
    uint32_t GetLoopPosition() override;
    int32_t GetStatus() override;
    void SetLoopPosition(uint32_t ms) override;

    // Why the last Open failed ("" after a successful one).
    const char* LastOpenError() const { return lastError_; }
    uint32_t BufferSize() const { return bufferSize_; }

    // The refill thread's pass waits this long for a quit request before it looks at the
    // play cursor again; half a buffer lasts five seconds, so it never falls behind.
    static constexpr DWORD kRefillPeriodMs = 500;

private:
    static DWORD WINAPI RefillThread(void* self);
    void RefillLoop();
    void ServiceBuffer();  // one pass of the refill thread, under the lock
    void RewindLocked();
    void FillRegion(uint32_t offset, uint32_t size);  // reads into the buffer: both locks
    void WriteRegion(uint32_t offset, const uint8_t* bytes, uint32_t size);
    void FillBytes(uint8_t* at, uint32_t size, uint32_t loopMs);  // under the reader's lock
    uint32_t ReadAll(uint8_t* at, uint32_t size);  // what the reader delivers, piece by piece
    uint32_t PositionLocked();
    void ReleaseLocked();
    void PlayBuffer();

    RefPtr<IKYRDS> owner_;
    BufferMaker maker_;
    bool open_ = false;
    bool closing_ = false;  // Close is waiting for the thread: no Open meanwhile
    bool playing_ = false;
    bool paused_ = false;
    uint32_t bufferSize_ = 0;
    uint32_t lengthMs_ = 0;
    uint32_t loopMs_ = 0;
    bool looping_ = false;
    bool endOfData_ = false;  // the reader ran dry; silence is written from here on (reader's lock)
    uint64_t playedMs_ = 0;   // played before the current pass through the buffer
    // Held from Open until the buffer is released (before buffer_, so released after it):
    // DirectSound destroys every buffer of an object whose last reference goes, and the game
    // may shut the sound interface down while its music is still open.
    RefPtr<IDirectSound8> directSound_;
    RefPtr<IDirectSoundBuffer8> buffer_;
    RefPtr<ISoundReader> reader_;
    RefPtr<IDataStream> stream_;
    ScopedHandle thread_;
    std::shared_ptr<CEventList> events_;  // event 0: the refill thread is to quit
    SoundFormat format_ = {};
    bool inSecondHalf_ = false;  // the cursor passed half and the first half was refilled
    const char* lastError_ = "";
    unsigned generation_ = 0;  // moved on, under both locks, whenever the buffer starts over
    std::vector<uint8_t> scratch_;  // the refill thread's decoded half
    CCriticalSection readerLock_;   // the reader, and endOfData_
    CCriticalSection lock_;
};

}  // namespace KYR
