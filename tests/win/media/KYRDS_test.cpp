// The engine's DirectSound interface against Wine's dsound on the null ALSA device.
#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "engine/factory/InterfaceFactory.h"
#include "engine/media/stream/IStreamControl.h"

namespace {

using namespace KYR;
using test::HiddenWindow;

TEST(KYRDS, FactoryKindThreeAndItsIdentifiers) {
    RefPtr<IKYRDS> ds(static_cast<IKYRDS*>(CreateKYRInterface(kKindSound)));
    ASSERT_TRUE(ds);
    EXPECT_EQ(ds->GetRefCount(), 1);
    EXPECT_EQ(ds->CreateObject(kIdDirectSoundObject), nullptr) << "before Initialize";
    {
        RefPtr<IDSSoundBuffer> buffer(
            static_cast<IDSSoundBuffer*>(ds->CreateObject(kIdDSSoundBuffer)));
        ASSERT_TRUE(buffer);
        EXPECT_EQ(buffer->GetRefCount(), 1);
        EXPECT_EQ(ds->GetRefCount(), 2) << "the buffer holds its owner";
        // Unloaded: every operation is a no-op with a zero result.
        EXPECT_EQ(buffer->GetStatus(), kSoundNotLoaded);
        EXPECT_EQ(buffer->GetLength(), 0u);
        buffer->Play();
        buffer->SetVolume(50);
        EXPECT_EQ(buffer->GetVolume(), 0);
        EXPECT_EQ(buffer->GetStatus(), kSoundNotLoaded);
        test::MemoryFile wav(test::CdWav(100));
        EXPECT_FALSE(buffer->Load(wav.Stream(), nullptr)) << "no DirectSound object yet";
    }
    EXPECT_EQ(ds->GetRefCount(), 1);
    {
        RefPtr<IDSMediaStream> stream(
            static_cast<IDSMediaStream*>(ds->CreateObject(kIdDSMediaStream)));
        ASSERT_TRUE(stream);
        EXPECT_EQ(ds->GetRefCount(), 2) << "the media stream holds its owner";
        EXPECT_EQ(stream->GetStatus(), kStreamClosed);
    }
    EXPECT_EQ(ds->GetRefCount(), 1);
    EXPECT_EQ(ds->CreateObject(IID_IDirectSound8), nullptr);
}

TEST(KYRDS, InitializeSetsThePrimaryFormat) {
    HiddenWindow window;
    RefPtr<CKYRDS> ds(new CKYRDS);
    EXPECT_FALSE(ds->Initialize(nullptr));
    EXPECT_EQ(ds->CreateObject(kIdDirectSoundObject), nullptr);
    ASSERT_TRUE(ds->Initialize(window.Get()));
    auto* raw = static_cast<IDirectSound8*>(ds->CreateObject(kIdDirectSoundObject));
    ASSERT_NE(raw, nullptr);
    EXPECT_FALSE(ds->Initialize(window.Get())) << "a second Initialize";
    EXPECT_EQ(ds->CreateObject(kIdDirectSoundObject), raw) << "the first object stays";

    // The primary buffer is shared: a new handle on it reports the format Initialize set.
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    RefPtr<IDirectSoundBuffer> primary;
    ASSERT_TRUE(SUCCEEDED(raw->CreateSoundBuffer(&desc, primary.Put(), nullptr)));
    WAVEFORMATEX f = {};
    ASSERT_TRUE(SUCCEEDED(primary->GetFormat(&f, sizeof(f), nullptr)));
    EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.nSamplesPerSec, 44100u);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.nBlockAlign, 4);
    EXPECT_EQ(f.nAvgBytesPerSec, 176400u);
    primary.Reset();

    ds->Shutdown();
    EXPECT_EQ(ds->CreateObject(kIdDirectSoundObject), nullptr);
    ds->Shutdown();  // twice is harmless
    EXPECT_TRUE(ds->Initialize(window.Get())) << "Initialize again after Shutdown";
}

}  // namespace
