// Start-up and teardown of the application object, with counting doubles in its slots.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/Application.h"
#include "app/KYRHelp.h"
#include "engine/core/MessageBox.h"
#include "engine/graphics/GraphicsObjectIds.h"
#include "engine/graphics/ID3DVideo.h"
#include "engine/graphics/IKYRD3D.h"
#include "engine/graphics/VideoMaker.h"

namespace {

using namespace KYR;

// Every double appends what happens to it to one shared journal.
std::vector<std::string> journal;

template <class I>
struct Counted : RefCounted<I> {
    explicit Counted(std::string n) : name(std::move(n)) {}
    ~Counted() override { journal.push_back(name + ".destroyed"); }
    int32_t Release() override {
        journal.push_back(name + ".Release");
        return RefCounted<I>::Release();
    }
    std::string name;
};

struct FakeGraphics : Counted<IKYRD3D> {
    using Counted::Counted;
    void* CreateObject(REFGUID) override { return nullptr; }
    bool GetAdapterInfo(D3DAdapterInfo*, uint32_t, uint32_t) override { return false; }
    uint32_t GetAvailableTextureMem() override { return 0; }
    bool CreateDevice(HWND, int32_t, uint32_t, uint32_t) override { return false; }
    bool ReleaseDevice() override {
        journal.push_back(name + ".ReleaseDevice");
        return false;
    }
    bool ResetDevice(uint32_t, uint32_t) override { return false; }
    ID3DTexture* GetRenderTarget() override { return nullptr; }
    bool SetRenderTarget(ID3DTexture*) override { return false; }
    void Clear(uint32_t) override {}
    bool BeginScene() override { return false; }
    void EndScene() override {}
    bool Present() override { return false; }
    HRESULT TestCooperativeLevel() override { return S_OK; }
    ID3DEffect* CreateEffect(const char*) override { return nullptr; }
    bool GetVSync() override { return true; }
    void SetVSync(bool) override {}
    bool GetNonPow2Textures() override { return false; }
    void SetNonPow2Textures(bool) override {}
};

struct FakeWin : Counted<IKYRWin> {
    using Counted::Counted;
    HFONT CreateFontHandle(const char*, int, int, unsigned, bool, bool, bool) override {
        return nullptr;
    }
    HDC GetDesktopDC() override { return nullptr; }
    int ReleaseDesktopDC() override { return 0; }
    bool RunAndWait(char*) override { return false; }
    void PumpMessagesFor(DWORD) override {}
};

struct FakeInput : Counted<IKYRDI> {
    using Counted::Counted;
    void* GetDirectInput(REFGUID) override { return nullptr; }
    bool Initialize(HINSTANCE) override { return false; }
    void Shutdown() override { journal.push_back(name + ".Shutdown"); }
    IDIInput* CreateKeyboard() override { return nullptr; }
    IDIInput* CreateJoystick(int) override { return nullptr; }
};

// A service as a game declares it: the counting trio, then operations it knows only by their
// slot, each recording which slot was called. A game hands it over as the engine's interface.
struct GameService {
    explicit GameService(std::string n) : name(std::move(n)) {}
    virtual int32_t AddRef() { return ++count; }
    virtual int32_t Release() {
        journal.push_back(name + ".Release");
        const int32_t n = --count;
        if (n == 0) delete this;
        return n;
    }
    virtual int32_t GetRefCount() const { return count; }
    virtual void Slot3() { Called(3); }
    virtual void Slot4() { Called(4); }
    virtual void Slot5() { Called(5); }
    virtual void Slot6() { Called(6); }
    virtual void Slot7() { Called(7); }
    virtual void Slot8() { Called(8); }
    virtual ~GameService() { journal.push_back(name + ".destroyed"); }
    void Called(int slot) { journal.push_back(name + ".slot" + std::to_string(slot)); }
    std::string name;
    int32_t count = 1;
};
template <class I>
I* Service(const char* name) {
    return reinterpret_cast<I*>(new GameService(name));
}

struct FakeMainWindow : IMainWindow {
    bool Create(HINSTANCE, int, int) override { return true; }
    HWND GetHandle() const override { return nullptr; }
    void Show(int) override {}
    bool ProcessMessages() override { return true; }
    void SetTitle(const char*) override {}
    void Destroy() override { journal.push_back("main.Destroy"); }
};

// Factories that fail at one kind; each records which kinds it was asked for.
std::vector<int> asked;
int failingKind = -1;
IKYRInterface* ScriptedFactory(int kind) {
    asked.push_back(kind);
    if (kind == failingKind) return nullptr;
    switch (kind) {
    case kKindGraphics: return new FakeGraphics("gfx");
    case kKindWin: return new FakeWin("win");
    case kKindInput: return new FakeInput("input");
    default: return nullptr;
    }
}

TEST(KYRHelp, TeardownReleasesEverySlotOnceInTheFixedOrder) {
    failingKind = -1;
    {
        CKYRHelp help(GetModuleHandleA(nullptr),
                      {Service<IKYRInterface>("aux"), Service<IKYRInterface>("A"),
                       Service<IKYRSpareServiceB>("B"), Service<IKYRSpareServiceC>("C"),
                       Service<IKYRInterface>("D"),
                       boost::shared_ptr<IMainWindow>(new FakeMainWindow)});
        ASSERT_EQ(CKYRHelp::GetInstance(), &help);
        ASSERT_TRUE(help.CreateInterfaces(ScriptedFactory));
        journal.clear();  // the factory's references, handed over; the teardown follows
    }
    const std::vector<std::string> expected = {
        "aux.Release", "aux.destroyed", "gfx.ReleaseDevice", "main.Destroy",
        "D.Release", "D.destroyed",
        "gfx.ReleaseDevice", "gfx.Release", "gfx.destroyed",
        "C.slot7", "C.Release", "C.destroyed",  // C's eighth operation, B's sixth
        "B.slot5", "B.Release", "B.destroyed",
        "input.Shutdown", "input.Release", "input.destroyed",
        "win.Release", "win.destroyed",
        "A.Release", "A.destroyed",
    };
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(CKYRHelp::GetInstance(), nullptr);
}

TEST(KYRHelp, EmptySlotsTearDownWithoutCalls) {
    journal.clear();
    { CKYRHelp help(GetModuleHandleA(nullptr)); }
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(CKYRHelp::GetInstance(), nullptr);
}

bool sheetRan = false;
bool RecordSheet(CGOption&) {
    sheetRan = true;
    return true;
}

TEST(Application, AFailingInterfaceShowsOneBoxAndEndsWithOne) {
    struct Row {
        int failing;
        std::vector<int> askedKinds;
    };
    const Row rows[] = {
        {kKindGraphics, {kKindGraphics}},                       // nothing after graphics
        {kKindWin, {kKindGraphics, kKindWin}},
        {kKindInput, {kKindGraphics, kKindWin, kKindInput}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failing);
        asked.clear();
        journal.clear();
        failingKind = row.failing;
        sheetRan = false;
        std::vector<std::string> boxes;
        MessageBoxHook previous = SetMessageBoxHook(
            [&](HWND owner, const char* text, const char* caption, UINT type) {
                EXPECT_EQ(owner, nullptr);
                EXPECT_EQ(type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
                boxes.push_back(std::string(caption) + "|" + text);
                return IDOK;
            });
        const int exitCode = RunApplication(GetModuleHandleA(nullptr), ScriptedFactory,
                                            RecordSheet);
        SetMessageBoxHook(previous);
        EXPECT_EQ(exitCode, 1);
        EXPECT_FALSE(sheetRan);
        EXPECT_EQ(asked, row.askedKinds);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "システムエラー|必要なシステムライブラリが読み込めませんでした。");
        // Interfaces made before the failure stay until teardown: the factory's reference
        // is handed over at once, the slot's own is released in teardown, and the object is
        // destroyed exactly once.
        for (const char* made : {"gfx", "win"}) {
            int releases = 0, destroyed = 0;
            for (const auto& e : journal) {
                releases += e == std::string(made) + ".Release";
                destroyed += e == std::string(made) + ".destroyed";
            }
            const bool wasMade = (std::string(made) == "gfx") ? row.failing != kKindGraphics
                                                              : row.failing == kKindInput;
            EXPECT_EQ(releases, wasMade ? 2 : 0) << made;
            EXPECT_EQ(destroyed, wasMade ? 1 : 0) << made;
        }
    }
    failingKind = -1;
}

TEST(Application, ANormalRunShowsNoBoxRunsTheSheetAndEndsWithZero) {
    asked.clear();
    journal.clear();
    failingKind = -1;
    sheetRan = false;
    EXPECT_EQ(RunApplication(GetModuleHandleA(nullptr), ScriptedFactory, RecordSheet), 0);
    EXPECT_TRUE(sheetRan);
    EXPECT_EQ(asked, (std::vector<int>{kKindGraphics, kKindWin, kKindInput}));
}

// A second start from the folder of a running copy brings that copy's sheet to the front,
// restored if minimised, and ends with 0 without a sheet of its own. The running copy's sheet
// is played by a dialog-class window with the sheet's caption, from this program's folder.
struct SecondStart {
    bool minimised;
    int exitCode = -1;
    bool secondSheetRan = false, sheetInFront = false, sheetRestored = false;
};
SecondStart* secondStart = nullptr;

bool SecondSheet(CGOption&) {
    secondStart->secondSheetRan = true;
    return true;
}

bool SheetWhileASecondCopyStarts(CGOption&) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    HWND sheet = CreateWindowExW(0, L"#32770", L"ゲームの設定", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 0, 0, 300, 200, nullptr, nullptr, module, nullptr);
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 10, 10,
                                 100, 50, nullptr, nullptr, module, nullptr);
    if (secondStart->minimised) ShowWindow(sheet, SW_MINIMIZE);
    for (int i = 0; i < 500 && GetForegroundWindow() != other; ++i) {
        SetForegroundWindow(other);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
    EXPECT_EQ(GetForegroundWindow(), other);
    secondStart->exitCode = RunApplication(module, ScriptedFactory, SecondSheet);
    secondStart->sheetInFront = GetForegroundWindow() == sheet;
    secondStart->sheetRestored = !IsIconic(sheet);
    DestroyWindow(other);
    DestroyWindow(sheet);
    return true;
}

TEST(Application, ASecondStartShowsTheRunningSheetAndEndsWithZero) {
    failingKind = -1;
    for (bool minimised : {false, true}) {
        SCOPED_TRACE(minimised ? "minimised" : "behind another window");
        SecondStart row{minimised};
        secondStart = &row;
        EXPECT_EQ(RunApplication(GetModuleHandleA(nullptr), ScriptedFactory,
                                 SheetWhileASecondCopyStarts),
                  0);
        secondStart = nullptr;
        EXPECT_EQ(row.exitCode, 0);
        EXPECT_FALSE(row.secondSheetRan);
        EXPECT_TRUE(row.sheetInFront);
        EXPECT_TRUE(row.sheetRestored);
    }
    // Once the first copy has ended, a start runs its sheet again.
    sheetRan = false;
    EXPECT_EQ(RunApplication(GetModuleHandleA(nullptr), ScriptedFactory, RecordSheet), 0);
    EXPECT_TRUE(sheetRan);
}

// What the sheet sees of its thread's apartment: a second apartment-threaded initialisation
// only counts up (S_FALSE), a multithreaded one is refused (RPC_E_CHANGED_MODE).
HRESULT apartmentSeen = E_FAIL, multiSeen = E_FAIL;
bool ProbeApartmentSheet(CGOption&) {
    apartmentSeen = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(apartmentSeen)) CoUninitialize();
    multiSeen = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(multiSeen)) CoUninitialize();
    return true;
}

TEST(Application, TheSheetRunsInASingleThreadedApartmentThatEndsWithTheRun) {
    failingKind = -1;
    HRESULT afterRun = E_FAIL;
    // A thread of its own: the test program's main thread may be in an apartment already.
    std::thread run([&] {
        EXPECT_EQ(RunApplication(GetModuleHandleA(nullptr), ScriptedFactory, ProbeApartmentSheet),
                  0);
        afterRun = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterRun)) CoUninitialize();
    });
    run.join();
    EXPECT_EQ(apartmentSeen, S_FALSE);
    EXPECT_EQ(multiSeen, RPC_E_CHANGED_MODE);
    EXPECT_EQ(afterRun, S_OK) << "the apartment is left when the run ends";
}

TEST(InterfaceFactory, KindsAreMadeWithOneReference) {
    SetVideoObjectMaker(nullptr);  // the graphics kind must register it itself
    for (int kind : {kKindStd, kKindWin, kKindGraphics, kKindSound, kKindInput}) {
        IKYRInterface* made = CreateKYRInterface(kind);
        ASSERT_NE(made, nullptr) << kind;
        if (kind == kKindGraphics) {  // and its device makes video objects, as a game's does
            auto* video = static_cast<ID3DVideo*>(
                static_cast<IKYRD3D*>(made)->CreateObject(kIdD3DVideo));
            ASSERT_NE(video, nullptr);
            EXPECT_EQ(video->Release(), 0);
        }
        EXPECT_EQ(made->GetRefCount(), 1);
        EXPECT_EQ(made->AddRef(), 2);
        EXPECT_EQ(made->Release(), 1);
        EXPECT_EQ(made->Release(), 0);
    }
    EXPECT_EQ(CreateKYRInterface(6), nullptr);
    EXPECT_EQ(CreateKYRInterface(-1), nullptr);
}

TEST(InterfaceFactory, TheAboutKindShowsItsNoticeAndMakesNothing) {
    std::string caption;
    MessageBoxHook previous = SetMessageBoxHook([&](HWND, const char*, const char* c, UINT) {
        caption = c;
        return IDOK;
    });
    EXPECT_EQ(CreateKYRInterface(kKindAbout), nullptr);
    SetMessageBoxHook(previous);
    EXPECT_EQ(caption, "About");
}

}  // namespace
