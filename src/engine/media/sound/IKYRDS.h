// The engine's DirectSound interface (kind 3 of the interface factory) and the sound buffer
// it creates. Slot order is fixed: AddRef, Release, GetRefCount, then the operations below in
// declaration order, the virtual destructor last.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/core/IDataStream.h"
#include "engine/core/IKYRInterface.h"
#include "engine/media/sound/ISoundReader.h"

namespace KYR {

class IKYRDS : public IKYRInterface {
public:
    // A new object with one reference for the caller, the IDirectSound8 itself for
    // kIdDirectSoundObject (borrowed, no reference added; null before Initialize), or null
    // (SoundObjectIds.h).
    virtual void* CreateObject(REFGUID id) = 0;
    // Creates the DirectSound 8 object at priority level for `window` and sets the primary
    // buffer to 44.1 kHz, 16-bit stereo. False for a null window or a second Initialize.
    virtual bool Initialize(HWND window) = 0;
    virtual void Shutdown() = 0;
    virtual ~IKYRDS() = default;
};

// GetStatus results.
enum SoundStatus : int32_t {
    kSoundStopped = 0,    // loaded, not playing (never started, paused or stopped)
    kSoundPlaying = 1,
    kSoundEnded = 3,      // started and played to its end by itself
    kSoundNotLoaded = 4,
};

// A whole sound in one DirectSound secondary buffer, played once per Play. Volume 0-100 is an
// attenuation of (100 - v)^2 hundredths of a decibel; pan -100-100 (left to right) one of p^2
// on the other side; frequency is in percent of the sound's own rate.
class IDSSoundBuffer : public IKYRInterface {
public:
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual void Unload() = 0;
    virtual uint32_t GetLength() = 0;  // milliseconds
    virtual int32_t GetVolume() = 0;
    virtual int32_t GetPan() = 0;
    virtual int32_t GetFrequency() = 0;
    // Reads the whole sound from `stream` through `reader`, or through a WAVE reader of its
    // own when `reader` is null. The caller's reference on `reader` is handed over: Load
    // releases it before it returns, also when it fails.
    virtual bool Load(IDataStream* stream, ISoundReader* reader) = 0;
    virtual int32_t GetStatus() = 0;  // SoundStatus
    virtual void SetVolume(int32_t volume) = 0;
    virtual void SetPan(int32_t pan) = 0;
    virtual void SetFrequency(int32_t percent) = 0;
    virtual ~IDSSoundBuffer() = default;
};

}  // namespace KYR
