// The engine as a game calls it. A game declares the engine's interfaces itself from the
// published slot tables and passes the published identifiers; so does this program. No
// engine interface header is included: each class below is declared here (a comment gives
// the slot of the first operation on its line), each identifier is the published GUID text,
// parsed at run time, and operations from the start to the end of each table are called
// against the real objects of libkyr_engine.a, results and reference counts checked.
// MinGW gives a virtual destructor two table entries (complete and deleting): an operation
// published after the destructor sits one entry further on, in such a game and in the engine.
#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "WaitUntil.h"
#include "dshow/MediaFixtures.h"
#include "engine/core/MessageBox.h"  // the test harness's box hook, not an interface
#include "support/WavBuilder.h"
#include "video/VideoStandIns.h"

#undef CopyMemory  // a <windows.h> macro; slot 5 of the standard services has the name

namespace KYR {
struct IKYRInterface;
IKYRInterface* CreateKYRInterface(int kind);
}  // namespace KYR

namespace game {

struct Obj {  // IKYRInterface: 0
    virtual int32_t AddRef() = 0; virtual int32_t Release() = 0; virtual int32_t GetRefCount() = 0;
};
struct Stream : Obj {  // IDataStream: 3; IStdFileStream: 8
    virtual bool IsEnd() = 0; virtual uint32_t GetSize() = 0; virtual uint32_t GetPosition() = 0;
    virtual void Seek(int32_t, int32_t) = 0; virtual uint32_t Read(void*, uint32_t, uint32_t) = 0;
    virtual bool OpenMemory(const void*, uint32_t) = 0;  // 8
    virtual bool OpenFile(const char*) = 0; virtual void Close() = 0; virtual ~Stream() = default;
};
struct Pacer : Obj {  // IStdFPSWait: 3
    virtual bool IsLate() = 0; virtual uint32_t Start(uint32_t) = 0; virtual void Stop() = 0;
    virtual uint32_t Wait() = 0; virtual ~Pacer() = default;  // 6
};
struct Loader : Obj {  // IStdGraphicsLoader: 3
    virtual uint32_t GetImageWidth() = 0; virtual uint32_t GetImageHeight() = 0;
    virtual bool Open(Stream*, Obj* plugin) = 0;  // 5
    virtual void Decode(void*, uint32_t, uint32_t, bool) = 0; virtual void Close() = 0;
    virtual ~Loader() = default;
};
struct Std : Obj {  // IKYRStd: 3
    virtual Obj* CreateObject(const GUID&) = 0; virtual int32_t* SwapInt(int32_t*, int32_t*) = 0;
    virtual void CopyMemory(void*, const void*, uint32_t) = 0;  // 5
    virtual void SwapMemory(void*, void*, uint32_t) = 0;
    virtual void RepeatMemory(void*, const void*, uint32_t, uint32_t) = 0;
    virtual void FillWord(void*, uint16_t, uint32_t) = 0;  // 8
    virtual void FillDword(void*, uint32_t, uint32_t) = 0;
    virtual float SinDeg(float) = 0; virtual float CosDeg(float) = 0;  // 10
    virtual float Atan2Deg(int32_t, int32_t) = 0; virtual float PowInt(float, int32_t) = 0;  // 12
    virtual ~Std() = default;
};
struct Win : Obj {  // IKYRWin: 3
    virtual HFONT CreateFontHandle(const char*, int, int, unsigned, bool, bool, bool) = 0;
    virtual HDC GetDesktopDC() = 0; virtual int ReleaseDesktopDC() = 0;  // 4
    virtual bool RunAndWait(char*) = 0; virtual void PumpMessagesFor(DWORD) = 0;  // 6
    virtual ~Win() = default;
};
struct Texture : Obj {  // ID3DTexture: 3
    virtual uint32_t GetWidth() = 0; virtual uint32_t GetHeight() = 0;
    virtual bool Create(uint32_t, uint32_t, bool, bool) = 0; virtual void Destroy() = 0;  // 5
    virtual bool Lock(D3DLOCKED_RECT*, bool) = 0; virtual void Unlock() = 0;  // 7
    virtual uint32_t GetTextureWidth() = 0; virtual uint32_t GetTextureHeight() = 0;  // 9
    virtual bool IsRenderTarget() = 0; virtual bool IsCompressed() = 0;  // 11
    virtual ~Texture() = default;
};
#define RENDER_MODE                                                          \
    virtual void GetRenderMode(int32_t*, int32_t*, bool*, bool*, bool*) = 0; \
    virtual void SetRenderMode(int32_t, int32_t, bool, bool, bool) = 0;
struct QuadDesc { int32_t u[4], v[4], x[4], y[4]; uint32_t z[4]; float rhw[4]; uint32_t c[4]; };
struct TriangleDesc { int32_t u[3], v[3], x[3], y[3]; uint32_t z[3]; float rhw[3]; uint32_t c[3]; };
struct LinePoint { int32_t x, y, z; uint32_t left, right; };
struct Quads : Obj {  // ID3DRender: 3
    virtual Texture* GetTexture() = 0; virtual bool SetTexture(Texture*) = 0;
    virtual uint32_t GetCapacity() = 0; virtual bool Reserve(uint32_t) = 0;  // 5
    RENDER_MODE virtual void AddQuad(const QuadDesc*, float, float, float, float) = 0;  // 7
    virtual uint32_t RemoveLastQuad() = 0; virtual void ClearQuads() = 0; virtual void Draw() = 0;
    virtual ~Quads() = default;
};
struct Triangles : Obj {  // ID3DTriangleRender: 3
    virtual Texture* GetTexture() = 0; virtual bool SetTexture(Texture*) = 0;
    RENDER_MODE  // 5
    virtual void AddTriangle(const TriangleDesc*, float, float, float, float, float, uint32_t) = 0;
    virtual void Draw() = 0; virtual ~Triangles() = default;  // 8
};
struct Lines : Obj {  // ID3DLineRender: 3
    virtual Texture* GetTexture() = 0; virtual bool SetTexture(Texture*) = 0;
    virtual uint32_t GetCapacity() = 0; virtual bool Reserve(uint32_t) = 0;  // 5
    RENDER_MODE virtual void Draw() = 0;  // 7
    virtual void PushFront(const LinePoint*) = 0; virtual void PushBack(const LinePoint*) = 0;
    virtual void InsertAfter(uint32_t, const LinePoint*) = 0; virtual void PopFront() = 0;  // 12
    virtual uint32_t PopBack() = 0; virtual void RemoveAt(uint32_t) = 0;  // 14
    virtual const LinePoint* GetPoint(uint32_t) = 0; virtual uint32_t GetPointCount() = 0;  // 16
    virtual void Inert18(uint32_t, uint32_t, uint32_t) = 0; virtual void ClearPoints() = 0;
    virtual void SetLineWidth(float) = 0; virtual float GetLineWidth() = 0;  // 20
    virtual ~Lines() = default;  // 22, and 23 published after it:
    virtual void Inert23(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) = 0;
};
struct BackBuffer : Obj {  // ID3DBackBuffer: 3
    virtual uint32_t GetWidth() = 0; virtual uint32_t GetHeight() = 0; virtual bool Create() = 0;
    virtual void Destroy() = 0; virtual bool ReadPixels(uint32_t*) = 0;  // 6
    virtual void WritePixels(const uint32_t*) = 0; virtual ~BackBuffer() = default;  // 8
};
struct Effect : Obj {  // ID3DEffect: 3
    virtual HRESULT Begin(UINT*, DWORD) = 0; virtual HRESULT End() = 0;
    virtual HRESULT BeginPass(UINT) = 0; virtual HRESULT EndPass() = 0;  // 5
    virtual HRESULT SetFloat(D3DXHANDLE, float) = 0;  // 7
    virtual HRESULT SetFloatArray(D3DXHANDLE, const float*, UINT) = 0;
    virtual HRESULT SetTexture(D3DXHANDLE, Texture*) = 0;
    virtual HRESULT SetVector(D3DXHANDLE, const D3DXVECTOR4*) = 0;  // 10
    virtual HRESULT SetTechnique(D3DXHANDLE) = 0;
    virtual D3DXHANDLE GetTechniqueByName(const char*) = 0;  // 12
    virtual D3DXHANDLE GetParameterByName(D3DXHANDLE, const char*) = 0; virtual ~Effect() = default;
};
#define VIDEO_CONTROLS(Name)                                                                  \
    virtual void Play() = 0; virtual void Pause() = 0; virtual void Stop() = 0;               \
    virtual void Close() = 0; virtual uint32_t GetLength() = 0;                               \
    virtual uint32_t GetPosition() = 0; virtual void SetPosition(uint32_t) = 0;               \
    virtual int32_t GetVolume() = 0; virtual void SetVolume(int32_t) = 0;                     \
    virtual int32_t GetBalance() = 0; virtual void SetBalance(int32_t) = 0;                   \
    virtual int32_t GetRate() = 0; virtual void SetRate(int32_t) = 0; virtual bool IsLoop() = 0; \
    virtual uint32_t GetLoopStart() = 0; virtual int32_t GetState() = 0;                      \
    virtual int32_t GetFrameRate() = 0; virtual ~Name() = default;                            \
    virtual void SetLoopStart(uint32_t) = 0;
struct Video : Obj {  // ID3DVideo: 3 Open, 4 Play ... 20 GetFrameRate, 21 destructor, 22
    virtual bool Open(Stream*, const char*, bool, uint32_t, IBaseFilter*, HWND, const RECT*) = 0;
    VIDEO_CONTROLS(Video)
};
struct VideoTexture : Obj {  // ID3DVideoTexture: 3 GetTexture, 4 Open ... 22 destructor, 23
    virtual Texture* GetTexture() = 0;
    virtual bool Open(Stream*, const char*, bool, uint32_t, IBaseFilter*) = 0;
    VIDEO_CONTROLS(VideoTexture)
};
struct D3D : Obj {  // IKYRD3D: 3
    virtual void* CreateObject(const GUID&) = 0;
    virtual bool GetAdapterInfo(void*, uint32_t, uint32_t) = 0;
    virtual uint32_t GetAvailableTextureMem() = 0;  // 5
    virtual bool CreateDevice(HWND, int32_t, uint32_t, uint32_t) = 0;
    virtual bool ReleaseDevice() = 0; virtual bool ResetDevice(uint32_t, uint32_t) = 0;  // 7
    virtual Texture* GetRenderTarget() = 0; virtual bool SetRenderTarget(Texture*) = 0;  // 9
    virtual void Clear(uint32_t) = 0; virtual bool BeginScene() = 0; virtual void EndScene() = 0;
    virtual bool Present() = 0; virtual HRESULT TestCooperativeLevel() = 0;  // 14
    virtual Effect* CreateEffect(const char*) = 0; virtual bool GetVSync() = 0;  // 16
    virtual void SetVSync(bool) = 0; virtual bool GetNonPow2Textures() = 0;  // 18
    virtual void SetNonPow2Textures(bool) = 0; virtual ~D3D() = default;  // 20
};
struct SoundBuffer : Obj {  // IDSSoundBuffer: 3
    virtual void Play() = 0; virtual void Pause() = 0; virtual void Stop() = 0;
    virtual void Unload() = 0; virtual uint32_t GetLength() = 0; virtual int32_t GetVolume() = 0;
    virtual int32_t GetPan() = 0; virtual int32_t GetFrequency() = 0;  // 9
    virtual bool Load(Stream*, Obj* reader) = 0; virtual int32_t GetStatus() = 0;  // 11
    virtual void SetVolume(int32_t) = 0; virtual void SetPan(int32_t) = 0;  // 13
    virtual void SetFrequency(int32_t) = 0; virtual ~SoundBuffer() = default;  // 15
};
struct MediaStream : Obj {  // IDSMediaStream: 3
    virtual bool Open(Stream*, const char*, bool, uint32_t, Obj* reader) = 0;
    virtual void Play() = 0; virtual void Pause() = 0; virtual void Stop() = 0;  // 4
    virtual void Close() = 0; virtual uint32_t GetLength() = 0; virtual uint32_t GetPosition() = 0;
    virtual void SetPosition(uint32_t) = 0; virtual int32_t GetVolume() = 0;  // 10
    virtual void SetVolume(int32_t) = 0; virtual int32_t GetPan() = 0;  // 12
    virtual void SetPan(int32_t) = 0; virtual int32_t GetSpeed() = 0;  // 14
    virtual void SetSpeed(int32_t) = 0; virtual bool IsLooping() = 0;  // 16
    virtual uint32_t GetLoopPosition() = 0; virtual int32_t GetStatus() = 0;  // 18
    virtual void SetLoopPosition(uint32_t) = 0; virtual ~MediaStream() = default;  // 20
};
struct DS : Obj {  // IKYRDS: 3
    virtual void* CreateObject(const GUID&) = 0; virtual bool Initialize(HWND) = 0;
    virtual void Shutdown() = 0; virtual ~DS() = default;  // 5
};
struct Device : Obj {  // IDIInput: 3
    virtual HRESULT Poll() = 0; virtual HRESULT GetState(DWORD, void*) = 0;
    virtual ~Device() = default;
};
struct DI : Obj {  // IKYRDI: 3
    virtual void* GetDirectInput(const GUID&) = 0; virtual bool Initialize(HINSTANCE) = 0;
    virtual void Shutdown() = 0; virtual Device* CreateKeyboard() = 0;  // 5
    virtual Device* CreateJoystick(int) = 0; virtual ~DI() = default;  // 7
};

}  // namespace game

namespace {

using namespace game;

struct Releaser {
    void operator()(Obj* o) const { o->Release(); }
};
template <class T>
using Ref = std::unique_ptr<T, Releaser>;

template <class T>
Ref<T> Make(int kind) { return Ref<T>(reinterpret_cast<T*>(KYR::CreateKYRInterface(kind))); }
GUID Id(const wchar_t* text) {
    GUID guid = {};
    EXPECT_EQ(IIDFromString(text, &guid), S_OK) << "not a GUID";
    return guid;
}
template <class T, class Maker>
Ref<T> New(Maker& maker, const wchar_t* id) {
    return Ref<T>(static_cast<T*>(maker.CreateObject(Id(id))));
}
// Gives up the last reference: 0 when the object went (through its deleting destructor).
int32_t Drop(Obj* o) { return o->Release(); }

using Window = std::unique_ptr<HWND__, BOOL(WINAPI*)(HWND)>;
Window NewWindow() {
    return Window(CreateWindowExA(0, "STATIC", "contract", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  160, 120, nullptr, nullptr, nullptr, nullptr), &DestroyWindow);
}

// The table entry this program's declaration gives an operation, which a game built from the
// same declarations calls: GCC stores a virtual member pointer as 1 + the entry's byte offset.
template <class M>
int Entry(M member) {
    uintptr_t raw = 0;
    std::memcpy(&raw, &member, sizeof raw);
    return static_cast<int>((raw - 1) / sizeof(void*));
}

TEST(Contract, OperationsAfterTheDestructorSitOneEntryOn) {
    EXPECT_EQ(Entry(&Stream::OpenFile), 9);  // no destructor in between: IDataStream has none
    EXPECT_EQ(Entry(&Video::GetFrameRate), 20);
    EXPECT_EQ(Entry(&Lines::Inert23), 23 + 1);
    EXPECT_EQ(Entry(&Video::SetLoopStart), 22 + 1);
    EXPECT_EQ(Entry(&VideoTexture::SetLoopStart), 23 + 1);
}

const wchar_t kFileStream[] = L"{47827C51-F63F-4163-8166-F563413A2F7D}";

TEST(Contract, KindZeroStandardServices) {
    Ref<Std> std = Make<Std>(0);
    ASSERT_TRUE(std);
    EXPECT_EQ(std->CreateObject(Id(L"{00000000-0000-0000-C000-000000000046}")), nullptr);
    EXPECT_EQ(std->CosDeg(90), -8.742278e-08f);  // the sine table's pi is 3.1415927
    const float cube = std->PowInt(3.3f, 3);       // every step rounded to single precision
    uint32_t bits = 0;
    std::memcpy(&bits, &cube, 4);
    EXPECT_EQ(bits, 0x420FBF7Cu);

    Ref<Stream> s = New<Stream>(*std, kFileStream);
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->OpenFile("Z:\\no\\such\\kyr_contract.bin"));  // slot 9, not a destructor
    EXPECT_EQ(s->GetRefCount(), 1);
    uint8_t bmp[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0,
                       1, 0, 0, 0, 1, 0, 24};  // 1 x 1, 24 bits: one pixel, blue first
    std::memcpy(bmp + 54, "\x30\x20\x10", 3);
    ASSERT_TRUE(s->OpenMemory(bmp, sizeof bmp));
    EXPECT_EQ(s->GetSize(), 58u);
    Ref<Loader> loader = New<Loader>(*std, L"{6FB7C864-2E18-41C5-BEA6-AA43E42DD154}");
    ASSERT_TRUE(loader && loader->Open(s.get(), nullptr));
    EXPECT_EQ(loader->GetImageWidth(), 1u);
    uint32_t pixel = 0;
    loader->Decode(&pixel, 1, 1, false);
    EXPECT_EQ(pixel, 0xFF102030u);
    loader->Close();
    EXPECT_EQ(Drop(loader.release()), 0);
    s->Close();
    EXPECT_EQ(Drop(s.release()), 0);

    Ref<Pacer> pacer = New<Pacer>(*std, L"{78ACD76B-685C-420B-9541-993373893DEA}");
    ASSERT_TRUE(pacer);
    EXPECT_NE(pacer->Start(60), 0u);
    EXPECT_LE(pacer->Wait(), 17u);
    EXPECT_EQ(Drop(pacer.release()), 0);
    EXPECT_EQ(Drop(std.release()), 0);
}

TEST(Contract, KindOneWindowServices) {
    Ref<Win> win = Make<Win>(1);
    ASSERT_TRUE(win);
    EXPECT_EQ(win->CreateFontHandle("Tahoma", 0, 0, 1, false, false, false), nullptr);
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    win->PumpMessagesFor(0);  // returns once it has dispatched that message
    EXPECT_EQ(Drop(win.release()), 0);
}

TEST(Contract, KindTwoGraphicsAndEveryObjectItMakes) {
    Window window = NewWindow();
    Ref<D3D> d3d = Make<D3D>(2);
    ASSERT_TRUE(d3d);
    EXPECT_NE(d3d->CreateObject(Id(L"{8E7AF663-B870-4FCC-97C3-7E593550A934}")), nullptr);
    d3d->SetNonPow2Textures(true);
    EXPECT_TRUE(d3d->GetNonPow2Textures());
    ASSERT_TRUE(d3d->CreateDevice(window.get(), 1, 64, 64) ||
                d3d->CreateDevice(window.get(), 2, 64, 64));
    EXPECT_NE(d3d->CreateObject(Id(L"{400C805C-6642-4B57-B2A0-208C7C1BD3F6}")), nullptr);

    Ref<Texture> tex = New<Texture>(*d3d, L"{ACC34C37-4DBB-4FFC-9C1E-3969897121C9}");
    ASSERT_TRUE(tex && tex->Create(16, 16, false, false));
    EXPECT_EQ(d3d->GetRefCount(), 2) << "the texture holds its device";
    EXPECT_FALSE(tex->IsCompressed());
    Ref<Quads> quads = New<Quads>(*d3d, L"{9BA3F552-5E67-4E2C-B816-32C3E873516B}");
    Ref<Triangles> tris = New<Triangles>(*d3d, L"{363DD090-8D77-4B44-A940-5E0FA99FCA4B}");
    Ref<Lines> lines = New<Lines>(*d3d, L"{D781D424-76DE-4C04-94E7-82DEC1E05D74}");
    ASSERT_TRUE(quads && tris && lines);
    // The render-mode pair sits at slots 7/8, 5/6 and 7/8: each batch through its own table.
    auto ready = [&](auto* batch) {
        int32_t colour = 0, blend = 0;
        bool blending = false, test = false, linear = false;
        batch->SetRenderMode(1, 9, true, true, true);
        batch->GetRenderMode(&colour, &blend, &blending, &test, &linear);
        return batch->SetTexture(tex.get()) && batch->GetTexture() == tex.get() && colour == 1 &&
               blend == 9 && blending && test && linear;
    };
    EXPECT_TRUE(ready(quads.get()) && ready(tris.get()) && ready(lines.get()));
    EXPECT_TRUE(quads->Reserve(4) && lines->Reserve(8));
    const QuadDesc quad = {{0, 8, 0, 8}, {0, 0, 8, 8}, {4, 12, 4, 12}, {4, 4, 12, 12}, {},
                           {1, 1, 1, 1}, {~0u, ~0u, ~0u, ~0u}};
    const TriangleDesc tri = {{0, 8, 0}, {0, 0, 8}, {20, 28, 20}, {4, 4, 12}, {}, {1, 1, 1},
                              {~0u, ~0u, ~0u}};
    const LinePoint p[2] = {{30, 30, 0, ~0u, ~0u}, {50, 40, 0, ~0u, ~0u}};
    ASSERT_TRUE(d3d->BeginScene());
    quads->AddQuad(&quad, 0, 0, 30, 0);
    EXPECT_EQ(quads->RemoveLastQuad(), 0u);
    quads->AddQuad(&quad, 0, 0, 0, 0);
    quads->Draw();
    tris->AddTriangle(&tri, 1, 1, 0, 0, 45, 3);
    tris->Draw();
    lines->PushBack(&p[0]);
    lines->PushBack(&p[1]);
    lines->SetLineWidth(2.5f);
    EXPECT_EQ(lines->GetLineWidth(), 2.5f);
    lines->Draw();
    lines->Inert23(1, 2, 3, 4, 5);  // at entry 24, and harmless
    EXPECT_EQ(lines->GetPointCount(), 2u);
    d3d->EndScene();
    EXPECT_TRUE(d3d->Present());

    Ref<BackBuffer> back = New<BackBuffer>(*d3d, L"{546D8D2B-37CB-4493-90D4-D5EBE14E3B26}");
    ASSERT_TRUE(back && back->Create());
    EXPECT_EQ(back->GetWidth(), 64u);
    std::vector<uint32_t> pixels(64 * 64, 0xFF336699u);
    back->WritePixels(pixels.data());
    int boxes = 0;
    const KYR::MessageBoxHook previous = KYR::SetMessageBoxHook(
        [&](HWND, const char*, const char*, UINT) { return ++boxes, IDOK; });
    Ref<Effect> effect(d3d->CreateEffect("not an effect"));
    KYR::SetMessageBoxHook(previous);
    ASSERT_TRUE(effect);
    EXPECT_EQ(boxes, 1);
    UINT passes = 7;
    EXPECT_TRUE(FAILED(effect->Begin(&passes, 0)));
    EXPECT_EQ(effect->GetParameterByName(nullptr, "f"), nullptr);
    Ref<Video> video = New<Video>(*d3d, L"{D4CA38C3-921B-4748-B55D-468A71BC3F5F}");
    ASSERT_TRUE(video);
    EXPECT_FALSE(video->Open(nullptr, "wmv", false, 0, nullptr, window.get(), nullptr));
    video->SetLoopStart(10);  // closed: does nothing, and the object lives on
    EXPECT_EQ(video->GetState(), 4);

    // The texture video plays a movie; its frame rate comes back as an integer in EAX.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        kyrtest::ConverterStandIn converter;
        const kyrtest::AviFixture avi = kyrtest::MakeAvi(8, 6, 5);  // 10 frames a second
        Ref<Stream> movie = New<Stream>(*Make<Std>(0), kFileStream);
        ASSERT_TRUE(movie->OpenMemory(avi.file.data(), static_cast<uint32_t>(avi.file.size())));
        Ref<VideoTexture> vt = New<VideoTexture>(*d3d, L"{7D0611D1-6A53-4FF3-9A82-FCC716CF5068}");
        ASSERT_TRUE(vt && vt->Open(movie.get(), "AVI", true, 0, nullptr));
        EXPECT_NE(vt->GetTexture(), nullptr);
        vt->SetLoopStart(100000);
        EXPECT_EQ(vt->GetLoopStart(), 500u) << "capped at the length: SetLoopStart was reached";
        vt->Play();
        EXPECT_TRUE(kyrtest::WaitUntil([&] { return vt->GetFrameRate() > 0; }));
        EXPECT_LE(vt->GetFrameRate(), 100);
        vt->Close();
        EXPECT_EQ(Drop(vt.release()), 0);
    }
    CoUninitialize();

    EXPECT_EQ(d3d->GetRefCount(), 8) << "each of the seven objects holds the device";
    for (Obj* o : {static_cast<Obj*>(video.release()), static_cast<Obj*>(effect.release()),
                   static_cast<Obj*>(back.release()), static_cast<Obj*>(lines.release()),
                   static_cast<Obj*>(tris.release()), static_cast<Obj*>(quads.release()),
                   static_cast<Obj*>(tex.release())})
        EXPECT_EQ(Drop(o), 0);
    EXPECT_TRUE(d3d->ReleaseDevice());
    EXPECT_EQ(Drop(d3d.release()), 0);
}

TEST(Contract, KindThreeSoundAndItsObjects) {
    Window window = NewWindow();
    Ref<DS> ds = Make<DS>(3);
    ASSERT_TRUE(ds && ds->Initialize(window.get()));
    EXPECT_NE(ds->CreateObject(Id(L"{CF83BE08-DFD1-4979-9138-94989402DAE2}")), nullptr);
    Ref<Stream> file = New<Stream>(*Make<Std>(0), kFileStream);
    const kyrtest::Bytes wav = kyrtest::PcmWav(2, 44100, 16, kyrtest::Ramp(176400));  // 1 s
    ASSERT_TRUE(file->OpenMemory(wav.data(), static_cast<uint32_t>(wav.size())));

    Ref<SoundBuffer> sound = New<SoundBuffer>(*ds, L"{69EA6B82-4BF4-4379-9F1B-8B2D92B229AE}");
    ASSERT_TRUE(sound) << "the sound buffer's identifier";
    ASSERT_TRUE(sound->Load(file.get(), nullptr));
    EXPECT_EQ(sound->GetLength(), 1000u);
    sound->SetFrequency(35);
    EXPECT_EQ(sound->GetFrequency(), 35);
    sound->Play();
    EXPECT_EQ(sound->GetStatus(), 1);

    Ref<MediaStream> music = New<MediaStream>(*ds, L"{855D37AD-AFC1-4E13-8A4E-DFA48F1B9299}");
    ASSERT_TRUE(music && music->Open(file.get(), "WAV", true, 400, nullptr));
    EXPECT_TRUE(music->IsLooping());
    music->SetLoopPosition(300);
    EXPECT_EQ(music->GetLoopPosition(), 300u);
    music->Close();
    EXPECT_EQ(music->GetStatus(), 4);
    EXPECT_FALSE(music->IsLooping()) << "nothing of the closed stream remains";
    EXPECT_EQ(music->GetLoopPosition(), 0u);
    EXPECT_EQ(ds->GetRefCount(), 4) << "held by the buffer, the media stream and its player";
    EXPECT_EQ(Drop(music.release()) + Drop(sound.release()), 0);
    EXPECT_EQ(file->GetRefCount(), 1);
    ds->Shutdown();
    EXPECT_EQ(Drop(ds.release()), 0);
}

TEST(Contract, KindFourInput) {
    Ref<DI> di = Make<DI>(4);
    const GUID id = Id(L"{6C51D291-7459-4734-8BE4-EEDE1D226EDA}");
    ASSERT_TRUE(di && di->Initialize(GetModuleHandleA(nullptr)));
    EXPECT_NE(di->GetDirectInput(id), nullptr);
    Ref<Device> keyboard(di->CreateKeyboard());
    ASSERT_TRUE(keyboard);
    uint8_t keys[256];
    EXPECT_EQ(keyboard->GetState(sizeof keys, keys), S_OK);
    EXPECT_EQ(di->CreateJoystick(16), nullptr);
    di->Shutdown();
    EXPECT_EQ(di->GetDirectInput(id), nullptr);
    EXPECT_EQ(Drop(keyboard.release()) + Drop(di.release()), 0);
}

}  // namespace
