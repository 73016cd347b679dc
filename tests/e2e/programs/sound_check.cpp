// Plays, through the engine as a game calls it, a fixed sequence that the hearing test
// records from the bench's sound sink and measures (tests/e2e/hearing.py). Each part is
// followed by a second of silence, which is how the recording is cut into parts (a busy
// machine starts some parts later than others):
//   1-5  a 440 Hz sound buffer, 600 ms: as loaded; at 200 % frequency; at volume 50;
//        panned to -100; panned to 100
//   6    a WAVE through the streaming player, 440, 550 and 660 Hz for 500 ms each, looping
//        from 500 ms, for 3.3 s
//   7    the two-second MP3 given as the argument (440 Hz, then 660 Hz from 1000 ms),
//        looping from 500 ms, for 4.8 s
// Prints "sound_check: ok" at the end, or what failed (exit code 1).
#include <windows.h>

#include <cstdio>

#include "engine/core/RefPtr.h"
#include "engine/media/sound/IKYRDS.h"
#include "engine/media/sound/SoundObjectIds.h"
#include "engine/media/std/StdFileStream.h"
#include "engine/media/stream/IStreamControl.h"
#include "engine/media/stream/KYRDS.h"
#include "support/WavBuilder.h"

namespace {

using namespace KYR;

int failures = 0;
void Expect(bool ok, const char* what) {
    if (!ok) {
        std::printf("sound_check: %s failed\n", what);
        ++failures;
    }
}

RefPtr<CStdFileStream> Memory(const kyrtest::Bytes& bytes) {
    RefPtr<CStdFileStream> stream(new CStdFileStream);
    stream->OpenMemory(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return stream;
}

void PlayStream(IKYRDS* ds, IDataStream* data, const char* type, DWORD ms) {
    RefPtr<IDSMediaStream> s(static_cast<IDSMediaStream*>(ds->CreateObject(kIdDSMediaStream)));
    Expect(s && s->Open(data, type, true, 500, nullptr), type);
    if (!s) return;
    s->Play();
    Sleep(ms);
    s->Stop();
    s->Close();
    Sleep(1000);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: sound_check MP3\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HWND window = CreateWindowExA(0, "STATIC", "sound check", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    RefPtr<CKYRDS> ds(new CKYRDS);
    if (!ds->Initialize(window)) {
        std::printf("sound_check: DirectSound did not initialise\n");
        return 1;
    }
    Sleep(1000);

    const kyrtest::Bytes tone =
        kyrtest::PcmWav(1, 22050, 16, kyrtest::ToneSamples(22050, {{440, 600}}));
    RefPtr<CStdFileStream> toneFile = Memory(tone);
    RefPtr<IDSSoundBuffer> buffer(
        static_cast<IDSSoundBuffer*>(ds->CreateObject(kIdDSSoundBuffer)));
    Expect(buffer && buffer->Load(toneFile.Get(), nullptr), "loading the tone");
    struct Part {
        int32_t frequency, volume, pan;
    } const parts[] = {{100, 100, 0}, {200, 100, 0}, {100, 50, 0}, {100, 100, -100}, {100, 100, 100}};
    for (const Part& p : parts) {
        if (!buffer) break;
        buffer->SetFrequency(p.frequency);
        buffer->SetVolume(p.volume);
        buffer->SetPan(p.pan);
        buffer->Play();
        Sleep(1600);
        buffer->Stop();
    }
    buffer.Reset();

    const kyrtest::Bytes steps =
        kyrtest::PcmWav(1, 22050, 16, kyrtest::ToneSamples(22050, {{440, 500}, {550, 500}, {660, 500}}));
    RefPtr<CStdFileStream> stepsFile = Memory(steps);
    PlayStream(ds.Get(), stepsFile.Get(), "wav", 3300);

    RefPtr<CStdFileStream> mp3(new CStdFileStream);
    Expect(mp3->OpenFile(argv[1]), "opening the MP3");
    PlayStream(ds.Get(), mp3.Get(), "mp3", 4800);

    ds->Shutdown();
    DestroyWindow(window);
    CoUninitialize();
    if (failures == 0) std::printf("sound_check: ok\n");
    return failures == 0 ? 0 : 1;
}
