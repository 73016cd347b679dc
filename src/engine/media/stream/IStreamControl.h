// The playback control every media stream player implements, and the media stream object
// the sound interface hands out. Slot order is fixed: AddRef, Release, GetRefCount, then the
// operations below in declaration order, the virtual destructor last. Times are milliseconds;
// volume 0-100, pan -100-100 and speed in percent use the sound buffer's scales (IKYRDS.h).
#pragma once

#include <cstdint>

#include "engine/core/IDataStream.h"
#include "engine/core/IKYRInterface.h"
#include "engine/media/sound/ISoundReader.h"

namespace KYR {

// GetStatus results of a media stream.
enum StreamStatus : int32_t {
    kStreamStopped = 0,  // open, not playing (never started or stopped)
    kStreamPlaying = 1,
    kStreamPaused = 2,
    kStreamEnded = 3,    // played to its end without looping
    kStreamClosed = 4,
};

class IStreamControl : public IKYRInterface {
public:
    // Takes a reference on `stream`. False when already open or the data cannot be played.
    virtual bool Open(IDataStream* stream, bool looping, uint32_t loopPositionMs) = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    // Back to the start; the next Play starts at 0.
    virtual void Stop() = 0;
    virtual void Close() = 0;
    virtual uint32_t GetLength() = 0;
    virtual uint32_t GetPosition() = 0;
    virtual void SetPosition(uint32_t ms) = 0;
    virtual int32_t GetVolume() = 0;
    virtual void SetVolume(int32_t volume) = 0;
    virtual int32_t GetPan() = 0;
    virtual void SetPan(int32_t pan) = 0;
    virtual int32_t GetSpeed() = 0;
    virtual void SetSpeed(int32_t percent) = 0;
    virtual bool IsLooping() = 0;
    virtual uint32_t GetLoopPosition() = 0;
    virtual int32_t GetStatus() = 0;  // StreamStatus
    // Where a looping stream starts again once it reaches its end; at most the length.
    virtual void SetLoopPosition(uint32_t ms) = 0;
    virtual ~IStreamControl() = default;
};

// The media stream of CKYRDS::CreateObject: one piece of music or long sound, played by the
// player its type name calls for. Slots as IStreamControl's, Open with two more arguments.
class IDSMediaStream : public IKYRInterface {
public:
    // `typeName` ("mid", "wave", "mp3", ...; any case) picks the player; `reader` (borrowed,
    // may be null) decodes the data for the DirectSound player instead of a WAVE reader.
    virtual bool Open(IDataStream* stream, const char* typeName, bool looping,
                      uint32_t loopPositionMs, ISoundReader* reader) = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    virtual void Close() = 0;
    virtual uint32_t GetLength() = 0;
    virtual uint32_t GetPosition() = 0;
    virtual void SetPosition(uint32_t ms) = 0;
    virtual int32_t GetVolume() = 0;
    virtual void SetVolume(int32_t volume) = 0;
    virtual int32_t GetPan() = 0;
    virtual void SetPan(int32_t pan) = 0;
    virtual int32_t GetSpeed() = 0;
    virtual void SetSpeed(int32_t percent) = 0;
    virtual bool IsLooping() = 0;
    virtual uint32_t GetLoopPosition() = 0;
    virtual int32_t GetStatus() = 0;
    virtual void SetLoopPosition(uint32_t ms) = 0;
    virtual ~IDSMediaStream() = default;
};

}  // namespace KYR
