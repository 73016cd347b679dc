#include "FrameLoop.h"

#include <dinput.h>

#include <algorithm>

#include "GameWindow.h"
#include "Own.h"
#include "Pad.h"
#include "Scene.h"
#include "Settings.h"
#include "Sound.h"
#include "engine/media/std/IStdFPSWait.h"
#include "engine/media/std/StdObjectIds.h"

namespace {

constexpr uint32_t kFramesPerSecond = 60;
constexpr int kPlayerSpeed = 2;  // game pixels a frame
constexpr int kPlayerMargin = 16;

int Fail(const char* what) {
    MessageBoxA(nullptr, what, "KYR Sample", MB_OK | MB_ICONERROR);
    return 1;
}

// Millisecond timing while the game runs: the pacer counts in timeGetTime's milliseconds,
// and waits of a few milliseconds need the system timer at its finest.
class FineTimer {
public:
    FineTimer() { timeBeginPeriod(1); }
    ~FineTimer() { timeEndPeriod(1); }
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;
};

// Waits the time the pacer asked for, answering the window's messages meanwhile; a message
// wakes the wait early, and the rest is still waited so the frames keep their pace.
void WaitFor(GameWindow& window, DWORD ms) {
    const DWORD start = timeGetTime();
    for (DWORD passed = 0; passed < ms; passed = timeGetTime() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
        window.PumpMessages();
    }
}

// The device types from the fastest down: pure hardware, mixed, software vertex processing.
bool CreateDevice(KYR::IKYRD3D* d3d, HWND window) {
    for (int32_t type = 0; type <= 2; ++type)
        if (d3d->CreateDevice(window, type, kGameWidth, kGameHeight)) return true;
    return false;
}

// The engine's protocol once Present has reported the device lost: ask TestCooperativeLevel
// each frame and reset when it says the device can be reset. A reset leaves the textures
// blank, so the art is written again. True when drawing can go on.
bool Recover(KYR::IKYRD3D* d3d, Art& art) {
    const HRESULT hr = d3d->TestCooperativeLevel();
    if (hr == D3D_OK) return true;
    if (hr != D3DERR_DEVICENOTRESET || !d3d->ResetDevice(kGameWidth, kGameHeight)) return false;
    art.Reload();  // a file gone since start leaves its sprite blank; the game plays on
    return true;
}

void Move(PlayState& play, const Pad& pad) {
    play.playerX += (pad.Down(kRight) - pad.Down(kLeft)) * kPlayerSpeed;
    play.playerY += (pad.Down(kDown) - pad.Down(kUp)) * kPlayerSpeed;
    play.playerX = std::max(kPlayerMargin, std::min(kGameWidth - kPlayerMargin, play.playerX));
    play.playerY = std::max(kPlayerMargin, std::min(kGameHeight - kPlayerMargin, play.playerY));
    ++play.tick;
}

// Frames drawn in the last whole second.
class FrameRate {
public:
    void Count(DWORD now) {
        ++frames_;
        if (now - since_ >= 1000) {
            rate_ = static_cast<int>(frames_ * 1000 / (now - since_));
            frames_ = 0;
            since_ = now;
        }
    }
    int Rate() const { return rate_; }

private:
    DWORD since_ = timeGetTime();
    uint32_t frames_ = 0;
    int rate_ = 0;
};

}  // namespace

int RunGame(HINSTANCE instance, const std::string& folder, GameReport* report) {
    const GameSettings settings = ReadGameSettings(folder);
    // Declared first so it goes last: the device and DirectSound are bound to the window.
    GameWindow window;
    Own<KYR::IKYRStd> services = CreateKind<KYR::IKYRStd>(KYR::kKindStd);
    Own<KYR::IKYRD3D> d3d = CreateKind<KYR::IKYRD3D>(KYR::kKindGraphics);
    Own<KYR::IKYRDI> input = CreateKind<KYR::IKYRDI>(KYR::kKindInput);
    if (!services || !d3d || !input) return Fail("The engine could not be started.");

    const int scaled = 2 + settings.screenSize;  // halves: 1.0 + 0.5 x ScreenSize
    if (!window.Create(instance, kGameWidth * scaled / 2, kGameHeight * scaled / 2,
                       settings.fullScreen))
        return Fail("The game's window could not be made.");
    // The pacer holds the pace; waiting for the display's retrace as well would tie the
    // game to the display's rate.
    d3d->SetVSync(false);
    if (!CreateDevice(d3d.Get(), window.Handle()))
        return Fail("No Direct3D 9 device could be made for the game's window.");
    Art art(services.Get(), d3d.Get(), folder);
    Scene scene;
    if (!scene.Create(d3d.Get(), art)) return Fail("The game's art could not be loaded.");
    // Without a keyboard the game cannot be steered, but the close box still ends it.
    Pad pad;
    pad.Open(input.Get(), instance, settings.bindings);
    Sound sound;
    sound.Open(services.Get(), window.Handle(), folder);
    Own<KYR::IStdFPSWait> pacer = CreateFrom<KYR::IStdFPSWait>(services.Get(), KYR::kIdStdFPSWait);
    if (!pacer) return Fail("The engine could not be started.");

    window.Show();
    FineTimer timer;
    pacer->Start(kFramesPerSecond);
    PlayState play;
    FrameRate rate;
    bool lost = false;
    for (;;) {
        WaitFor(window, pacer->Wait());
        if (pacer->IsLate()) ++report->framesLate;
        if (!window.PumpMessages()) break;
        pad.Poll(window.IsForeground());
        if (pad.KeyDown(DIK_ESCAPE)) break;
        Move(play, pad);
        if (pad.Pressed(kA) && sound.PlayEffect()) ++report->effectsPlayed;

        if (lost) lost = !Recover(d3d.Get(), art);
        if (lost) continue;
        if (!scene.Draw(d3d.Get(), play, settings.showFps ? rate.Rate() : -1)) {
            lost = true;
            continue;
        }
        ++report->framesDrawn;
        rate.Count(timeGetTime());
    }
    pacer->Stop();
    report->playerX = play.playerX;
    report->playerY = play.playerY;
    report->musicStatus = sound.MusicStatus();
    return 0;
}
