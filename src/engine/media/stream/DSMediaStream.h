// CDSMediaStream: the media stream the sound interface hands out. It picks a player by the
// data's type name at each Open (DirectShow for MIDI and MP3, streaming DirectSound for
// everything else or whenever the caller brings a reader) and forwards every control call
// to it.
#pragma once

#include <cstdint>

#include "engine/core/RefPtr.h"
#include "engine/media/sound/IKYRDS.h"
#include "engine/media/stream/IStreamControl.h"

namespace KYR {

class CDSMediaStream : public RefCounted<IDSMediaStream> {
public:
    // Takes a reference on `owner`, whose DirectSound object every Open needs.
    explicit CDSMediaStream(IKYRDS* owner);
    ~CDSMediaStream() override = default;
    CDSMediaStream(const CDSMediaStream&) = delete;
    CDSMediaStream& operator=(const CDSMediaStream&) = delete;

    // False when the owner has no DirectSound object, when already open, or when the new
    // player cannot open the data. The previous player is dropped either way.
    bool Open(IDataStream* stream, const char* typeName, bool looping, uint32_t loopPositionMs,
              ISoundReader* reader) override;
    void Play() override { player_->Play(); }
    void Pause() override { player_->Pause(); }
    void Stop() override { player_->Stop(); }
    void Close() override;
    uint32_t GetLength() override { return player_->GetLength(); }
    uint32_t GetPosition() override { return player_->GetPosition(); }
    void SetPosition(uint32_t ms) override { player_->SetPosition(ms); }
    int32_t GetVolume() override { return player_->GetVolume(); }
    void SetVolume(int32_t volume) override { player_->SetVolume(volume); }
    int32_t GetPan() override { return player_->GetPan(); }
    void SetPan(int32_t pan) override { player_->SetPan(pan); }
    int32_t GetSpeed() override { return player_->GetSpeed(); }
    void SetSpeed(int32_t percent) override { player_->SetSpeed(percent); }
    bool IsLooping() override { return player_->IsLooping(); }
    uint32_t GetLoopPosition() override { return player_->GetLoopPosition(); }
    int32_t GetStatus() override { return player_->GetStatus(); }
    void SetLoopPosition(uint32_t ms) override { player_->SetLoopPosition(ms); }

    // The current player (borrowed; never null).
    IStreamControl* PlayerTemp() const { return player_.Get(); }

private:
    bool open_ = false;
    RefPtr<IKYRDS> owner_;
    RefPtr<IStreamControl> player_;
};

}  // namespace KYR
