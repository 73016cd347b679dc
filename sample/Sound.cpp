#include "Sound.h"

#include "engine/media/sound/SoundObjectIds.h"
#include "engine/media/std/StdObjectIds.h"

namespace {

Own<KYR::IStdFileStream> OpenFile(KYR::IKYRStd* services, const std::string& path) {
    Own<KYR::IStdFileStream> file =
        CreateFrom<KYR::IStdFileStream>(services, KYR::kIdStdFileStream);
    if (file && !file->OpenFile(path.c_str())) file.Reset();
    return file;
}

}  // namespace

Sound::~Sound() {
    if (music_) music_->Close();  // joins the stream's refill thread before the buffer goes
    music_.Reset();
    effect_.Reset();
    // DirectSound goes back to the normal level before its object is released.
    if (sound_) sound_->Shutdown();
}

bool Sound::Open(KYR::IKYRStd* services, HWND window, const std::string& folder) {
    sound_ = CreateKind<KYR::IKYRDS>(KYR::kKindSound);
    if (!sound_ || !sound_->Initialize(window)) return false;

    // The buffer reads the whole sound at Load and keeps nothing of the file.
    Own<KYR::IStdFileStream> effectFile = OpenFile(services, folder + "data\\effect.wav");
    effect_ = CreateFrom<KYR::IDSSoundBuffer>(sound_.Get(), KYR::kIdDSSoundBuffer);
    if (effect_ && (!effectFile || !effect_->Load(effectFile.Get(), nullptr))) effect_.Reset();

    // "wav" picks the streaming DirectSound player, which reads the file as it plays and
    // starts again at the loop position (0) at the end.
    musicFile_ = OpenFile(services, folder + "data\\music.wav");
    music_ = CreateFrom<KYR::IDSMediaStream>(sound_.Get(), KYR::kIdDSMediaStream);
    if (music_ && (!musicFile_ || !music_->Open(musicFile_.Get(), "wav", true, 0, nullptr)))
        music_.Reset();
    if (music_) music_->Play();
    return effect_ && music_;
}

bool Sound::PlayEffect() {
    if (!effect_) return false;
    // A sound that has played to its end stays "playing" until stopped, and Play ignores it
    // meanwhile: stop first, which also rewinds it.
    effect_->Stop();
    effect_->Play();
    return effect_->GetStatus() == KYR::kSoundPlaying;
}

int Sound::MusicStatus() { return music_ ? music_->GetStatus() : KYR::kStreamClosed; }
