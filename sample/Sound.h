// The game's sound: a WAVE effect in a sound buffer, and looping music streamed from a WAVE
// file through a media stream. Without a sound device the game plays on silently.
#pragma once

#include <windows.h>

#include <string>

#include "Own.h"
#include "engine/media/sound/IKYRDS.h"
#include "engine/media/std/IKYRStd.h"
#include "engine/media/std/IStdFileStream.h"
#include "engine/media/stream/IStreamControl.h"

class Sound {
public:
    Sound() = default;
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // DirectSound for `window`, data\effect.wav and data\music.wav. False when any of them
    // cannot be had; what could be opened still plays.
    bool Open(KYR::IKYRStd* services, HWND window, const std::string& folder);
    // Starts the effect from its beginning, cutting off one still playing. True when it plays.
    bool PlayEffect();
    // The music's state (KYR::StreamStatus): 1 while it plays, looping.
    int MusicStatus();

private:
    Own<KYR::IKYRDS> sound_;  // first: released last, after what it made
    Own<KYR::IDSSoundBuffer> effect_;
    Own<KYR::IStdFileStream> musicFile_;
    Own<KYR::IDSMediaStream> music_;
};
