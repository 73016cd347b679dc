// CDSSoundBuffer: a whole sound decoded into one DirectSound secondary buffer.
//
// The buffer takes its own reference on the DirectSound object it was made from, so a buffer
// loaded before CKYRDS::Shutdown stays usable (and safe to release) afterwards: DirectSound
// tears down every buffer of an object whose last reference goes.
#pragma once

#include <windows.h>

#include <dsound.h>

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/media/sound/IKYRDS.h"
#include "engine/media/sound/ISoundReader.h"

namespace KYR {

class CDSSoundBuffer : public RefCounted<IDSSoundBuffer> {
public:
    // Takes a reference on `owner`, which it asks for the DirectSound object at each Load.
    explicit CDSSoundBuffer(IKYRDS* owner);
    ~CDSSoundBuffer() override { Unload(); }
    CDSSoundBuffer(const CDSSoundBuffer&) = delete;
    CDSSoundBuffer& operator=(const CDSSoundBuffer&) = delete;

    // Plays once from the current position; does nothing while playing.
    void Play() override;
    // Stops where it is; Play goes on from there.
    void Pause() override;
    // Stops and goes back to the start. Only a playing sound is affected: a paused one keeps
    // its position.
    void Stop() override;
    void Unload() override;
    uint32_t GetLength() override { return loaded_ ? lengthMs_ : 0; }
    int32_t GetVolume() override;
    int32_t GetPan() override;
    int32_t GetFrequency() override;
    // A buffer already loaded is replaced only when the new sound has loaded; on failure the
    // old sound stays as it was.
    bool Load(IDataStream* stream, ISoundReader* reader) override;
    int32_t GetStatus() override;
    void SetVolume(int32_t volume) override;
    void SetPan(int32_t pan) override;
    void SetFrequency(int32_t percent) override;

    uint32_t GetBufferSize() const { return loaded_ ? bufferSize_ : 0; }
    // The DirectSound buffer, for calls the engine does not wrap (positions, notifications);
    // borrowed, null when not loaded.
    IDirectSoundBuffer8* BufferTemp() const { return buffer_.Get(); }

private:
    bool loaded_ = false;
    bool playing_ = false;
    RefPtr<IKYRDS> owner_;
    RefPtr<IDirectSound8> directSound_;  // before buffer_: released after it
    uint32_t bufferSize_ = 0;
    uint32_t lengthMs_ = 0;
    RefPtr<IDirectSoundBuffer8> buffer_;
    SoundFormat format_ = {};  // its sample rate is what the frequency percentage refers to
};

}  // namespace KYR
