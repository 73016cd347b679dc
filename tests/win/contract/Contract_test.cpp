// The engine as a game calls it, and as it calls a game. A game declares the engine's
// interfaces itself from the published slot tables and passes the published identifiers; so
// does this program. No engine header is included: each class below is declared here (a
// comment gives the slot of the first operation on its line), each identifier is the
// published GUID text, parsed at run time. Every slot is called against the real objects of
// the engine's libraries, with arguments and objects chosen so that its neighbours would
// answer otherwise (sizes wider than tall, values no other getter holds, pixels read back
// after each draw). The other direction is here too: the program implements a stream, a
// sound decoder and an image decoder as a game would and hands them to the engine, checking
// what the engine asked of them and who held which reference when.
// MinGW gives a virtual destructor two table entries (complete and deleting): an operation
// published after the destructor sits one entry further on, in such a game and in the engine.
#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>  // the effect's handle and vector types only: D3DX itself is the engine's
#include <dinput.h>
#include <dsound.h>
#include <mmsystem.h>
#include <strmif.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "EffectSource.h"
#include "WaitUntil.h"
#include "dshow/MediaFixtures.h"
#include "support/WavBuilder.h"
#include "video/ConverterStandIn.h"

#undef CopyMemory  // a <windows.h> macro; slot 5 of the standard services has the name

namespace KYR {
struct IKYRInterface;
IKYRInterface* CreateKYRInterface(int kind);
}  // namespace KYR

namespace game {

struct Obj {  // IKYRInterface: 0
    virtual int32_t AddRef() = 0; virtual int32_t Release() = 0; virtual int32_t GetRefCount() = 0;
};
struct DataStream : Obj {  // IDataStream: 3 (no destructor slot)
    virtual bool IsEnd() = 0; virtual uint32_t GetSize() = 0; virtual uint32_t GetPosition() = 0;
    virtual void Seek(int32_t, int32_t) = 0; virtual uint32_t Read(void*, uint32_t, uint32_t) = 0;
};
struct Stream : DataStream {  // IStdFileStream: 8
    virtual bool OpenMemory(const void*, uint32_t) = 0; virtual bool OpenFile(const char*) = 0;
    virtual void Close() = 0; virtual ~Stream() = default;  // 10, 11
};
struct Pacer : Obj {  // IStdFPSWait: 3
    virtual bool IsLate() = 0; virtual uint32_t Start(uint32_t) = 0; virtual void Stop() = 0;
    virtual uint32_t Wait() = 0; virtual ~Pacer() = default;  // 6
};
struct Plugin : Obj {  // IGraphicsPlugin: 3
    virtual uint32_t GetImageWidth() = 0; virtual uint32_t GetImageHeight() = 0;
    virtual uint32_t GetBitCount() = 0; virtual bool Open(DataStream*) = 0;  // 5
    virtual void Decode(void*, uint32_t, uint32_t, bool) = 0; virtual void Close() = 0;  // 7
    virtual ~Plugin() = default;
};
struct Loader : Obj {  // IStdGraphicsLoader: 3
    virtual uint32_t GetImageWidth() = 0; virtual uint32_t GetImageHeight() = 0;
    virtual bool Open(DataStream*, Plugin*) = 0;  // 5
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
    virtual bool Open(DataStream*, const char*, bool, uint32_t, IBaseFilter*, HWND,
                      const RECT*) = 0;
    VIDEO_CONTROLS(Video)
};
struct VideoTexture : Obj {  // ID3DVideoTexture: 3 GetTexture, 4 Open ... 22 destructor, 23
    virtual Texture* GetTexture() = 0;
    virtual bool Open(DataStream*, const char*, bool, uint32_t, IBaseFilter*) = 0;
    VIDEO_CONTROLS(VideoTexture)
};
struct AdapterInfo {  // filled by IKYRD3D::GetAdapterInfo
    char description[512];
    int32_t vertexProcessing;
    uint32_t videoMemory, maxTextureWidth, maxTextureHeight;
    bool vertexShader20, pixelShader20, nonPow2Textures;
};
struct D3D : Obj {  // IKYRD3D: 3
    virtual void* CreateObject(const GUID&) = 0;
    virtual bool GetAdapterInfo(AdapterInfo*, uint32_t, uint32_t) = 0;
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
#pragma pack(push, 1)
struct SoundFormat {  // what a sound reader hands out: WAVEFORMATEX and two bytes, 20 in all
    uint16_t formatTag, channels;
    uint32_t samplesPerSec, avgBytesPerSec;
    uint16_t blockAlign, bitsPerSample, extraSize, spare;
};
#pragma pack(pop)
struct SoundReader : Obj {  // ISoundReader: 3 (no destructor slot)
    virtual bool Open(DataStream*) = 0; virtual bool ReadData(uint32_t, void*, uint32_t*) = 0;
    virtual void Rewind() = 0; virtual void GetFormat(SoundFormat*) = 0;  // 5
    virtual uint32_t GetLength() = 0; virtual uint32_t GetPositionMs() = 0;  // 7
    virtual void SetPositionMs(uint32_t) = 0; virtual void Close() = 0;  // 9
};
struct SoundBuffer : Obj {  // IDSSoundBuffer: 3
    virtual void Play() = 0; virtual void Pause() = 0; virtual void Stop() = 0;
    virtual void Unload() = 0; virtual uint32_t GetLength() = 0; virtual int32_t GetVolume() = 0;
    virtual int32_t GetPan() = 0; virtual int32_t GetFrequency() = 0;  // 9
    virtual bool Load(DataStream*, SoundReader*) = 0; virtual int32_t GetStatus() = 0;  // 11
    virtual void SetVolume(int32_t) = 0; virtual void SetPan(int32_t) = 0;  // 13
    virtual void SetFrequency(int32_t) = 0; virtual ~SoundBuffer() = default;  // 15
};
struct MediaStream : Obj {  // IDSMediaStream: 3
    virtual bool Open(DataStream*, const char*, bool, uint32_t, SoundReader*) = 0;
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

// The published identifiers.
const wchar_t kIdFileStream[] = L"{47827C51-F63F-4163-8166-F563413A2F7D}";
const wchar_t kIdPacer[] = L"{78ACD76B-685C-420B-9541-993373893DEA}";
const wchar_t kIdLoader[] = L"{6FB7C864-2E18-41C5-BEA6-AA43E42DD154}";
const wchar_t kIdQuads[] = L"{9BA3F552-5E67-4E2C-B816-32C3E873516B}";
const wchar_t kIdLines[] = L"{D781D424-76DE-4C04-94E7-82DEC1E05D74}";
const wchar_t kIdTriangles[] = L"{363DD090-8D77-4B44-A940-5E0FA99FCA4B}";
const wchar_t kIdTexture[] = L"{ACC34C37-4DBB-4FFC-9C1E-3969897121C9}";
const wchar_t kIdVideo[] = L"{D4CA38C3-921B-4748-B55D-468A71BC3F5F}";
const wchar_t kIdVideoTexture[] = L"{7D0611D1-6A53-4FF3-9A82-FCC716CF5068}";
const wchar_t kIdBackBuffer[] = L"{546D8D2B-37CB-4493-90D4-D5EBE14E3B26}";
const wchar_t kIdDirect3D[] = L"{8E7AF663-B870-4FCC-97C3-7E593550A934}";
const wchar_t kIdDevice[] = L"{400C805C-6642-4B57-B2A0-208C7C1BD3F6}";
const wchar_t kIdMediaStream[] = L"{855D37AD-AFC1-4E13-8A4E-DFA48F1B9299}";
const wchar_t kIdSoundBuffer[] = L"{69EA6B82-4BF4-4379-9F1B-8B2D92B229AE}";
const wchar_t kIdDirectSound[] = L"{CF83BE08-DFD1-4979-9138-94989402DAE2}";
const wchar_t kIdDirectInput[] = L"{6C51D291-7459-4734-8BE4-EEDE1D226EDA}";
const wchar_t kIdNone[] = L"{00000000-0000-0000-C000-000000000046}";  // IUnknown's: none of ours

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

// The three counting slots: AddRef and Release answer the new count, GetRefCount the count.
void ExpectCounting(Obj* o, int32_t held) {
    EXPECT_EQ(o->GetRefCount(), held);
    EXPECT_EQ(o->AddRef(), held + 1);
    EXPECT_EQ(o->GetRefCount(), held + 1);
    EXPECT_EQ(o->Release(), held);
}
// A new object, its counting slots checked on the one reference it comes with.
template <class T>
Ref<T> Checked(Ref<T> made) {
    if (made) ExpectCounting(made.get(), 1);
    return made;
}

using Window = std::unique_ptr<HWND__, BOOL(WINAPI*)(HWND)>;
Window NewWindow() {
    return Window(CreateWindowExA(0, "STATIC", "contract", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  160, 120, nullptr, nullptr, nullptr, nullptr), &DestroyWindow);
}

struct Apartment {  // DirectShow's graphs run in the multithreaded apartment
    Apartment() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    ~Apartment() { CoUninitialize(); }
};

// Whether a raw pointer the engine hands out is the platform's object it should be.
bool IsA(void* raw, REFIID iid) {
    IUnknown* asked = nullptr;
    if (!raw || FAILED(static_cast<IUnknown*>(raw)->QueryInterface(
                    iid, reinterpret_cast<void**>(&asked))))
        return false;
    asked->Release();
    return true;
}

uint32_t Bits(float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    return bits;
}
template <class T>
void Put(std::vector<uint8_t>& bytes, T value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
}

// The message boxes the engine showed on this thread, closed as they came up (main, below).
struct Box {
    std::string caption, text;
};
std::vector<Box> shownBoxes;
std::vector<Box> TakeBoxes() { return std::exchange(shownBoxes, {}); }

// A section's interface at its end: every object it made has given it back.
template <class T, class Finish>
void ExpectLastReference(Ref<T>& maker, Finish finish) {
    if (!maker) return;
    EXPECT_EQ(maker->GetRefCount(), 1) << "every object gave its maker back";
    finish(*maker);
    EXPECT_EQ(Drop(maker.release()), 0);
}

// Every section: the boxes the engine showed must be the ones the section took.
class Contract : public testing::Test {
protected:
    void TearDown() override {
        for (const Box& box : TakeBoxes())
            ADD_FAILURE() << "unexpected message box: " << box.caption << " / " << box.text;
    }
};

// A setter and its getter. All knobs of an object are set before any is read, each to a
// value no other knob holds, so a getter that answered for its neighbour shows.
template <class T>
struct Knob {
    const char* what;
    void (T::*set)(int32_t);
    int32_t (T::*get)();
    int32_t value;
};
template <class T>
void ExpectKnobs(T& o, std::initializer_list<Knob<T>> knobs) {
    for (const Knob<T>& k : knobs) (o.*k.set)(k.value);
    for (const Knob<T>& k : knobs) {
        // The engine's scales go through single precision and truncate: a value may come back
        // one nearer to 0, never further.
        const int32_t got = (o.*k.get)();
        EXPECT_TRUE(got == k.value || got == k.value - (k.value > 0 ? 1 : -1))
            << k.what << " set to " << k.value << " reads " << got;
    }
}

// ---------------------------------------------------------------------------------------
// The game's own objects. Each counts references as the contract has it (1 at creation, gone
// with the last Release) and notes what the engine asked of it, in order.

template <class Self, class I>
class GameObject : public I {
public:
    int32_t AddRef() override { return ++refs_; }
    int32_t Release() override {
        const int32_t left = --refs_;
        if (left == 0) delete static_cast<Self*>(this);
        return left;
    }
    int32_t GetRefCount() override { return refs_; }
    // The calls since the last look, in order.
    std::string TakeCalls() {
        std::lock_guard<std::mutex> hold(lock_);
        return std::exchange(calls_, {});
    }
    int Count(const std::string& call) {
        std::lock_guard<std::mutex> hold(lock_);
        return counts_[call];
    }

protected:
    void Note(const std::string& call) {
        std::lock_guard<std::mutex> hold(lock_);
        calls_ += (calls_.empty() ? "" : " ") + call;
        ++counts_[call];
    }

private:
    std::atomic<int32_t> refs_{1};  // the engine's streaming threads use these objects too
    std::mutex lock_;
    std::string calls_;
    std::map<std::string, int> counts_;
};

// A game's stream over a block of its own, as over a file in its archive.
class GameStream final : public GameObject<GameStream, DataStream> {
public:
    explicit GameStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    bool IsEnd() override { return Note("IsEnd"), position_ == Size(); }
    uint32_t GetSize() override { return Note("GetSize"), Size(); }
    uint32_t GetPosition() override { return Note("GetPosition"), position_; }
    void Seek(int32_t offset, int32_t origin) override {
        Note("Seek");
        if (origin < 0 || origin > 2) return;
        const uint32_t to = origin == 2   ? Size() - offset
                            : origin == 1 ? position_ + offset
                                          : static_cast<uint32_t>(offset);
        position_ = std::min(to, Size());
    }
    uint32_t Read(void* buffer, uint32_t size, uint32_t count) override {
        Note("Read");
        if (size == 0) return 0;
        const uint32_t taken =
            static_cast<uint32_t>(std::min<uint64_t>(uint64_t{size} * count, Size() - position_));
        std::memcpy(buffer, bytes_.data() + position_, taken);
        position_ += taken;
        return taken / size;
    }

private:
    uint32_t Size() const { return static_cast<uint32_t>(bytes_.size()); }
    const std::vector<uint8_t> bytes_;
    uint32_t position_ = 0;
};

// A decoder of one of the game's formats: a four-letter mark and a header, then the data.
// It holds the stream it reads while it is open.
template <class Self, class I>
class GameDecoder : public GameObject<Self, I> {
protected:
    bool OpenOn(DataStream* stream, const char* mark, void* header, uint32_t headerSize) {
        char got[4] = {};
        if (stream_ || !stream) return false;
        stream->Seek(0, 0);
        if (stream->Read(got, 4, 1) != 1 || std::memcmp(got, mark, 4) != 0 ||
            stream->Read(header, headerSize, 1) != 1)
            return false;
        stream->AddRef();
        stream_ = stream;
        return true;
    }
    void LetGo() {
        if (stream_) stream_->Release();
        stream_ = nullptr;
    }
    static std::vector<uint8_t> Start(const char* mark) { return {mark, mark + 4}; }

    DataStream* stream_ = nullptr;
};

// A game's sound format: "TONE" and the length in milliseconds; the sound is a square wave,
// 16-bit mono at 8000 Hz, made as it is read.
class ToneReader final : public GameDecoder<ToneReader, SoundReader> {
public:
    static constexpr uint32_t kBytesPerMs = 16;
    static std::vector<uint8_t> File(uint32_t ms) {
        std::vector<uint8_t> bytes = Start("TONE");
        Put(bytes, ms);
        return bytes;
    }
    bool Open(DataStream* stream) override {
        Note("Open");
        if (!OpenOn(stream, "TONE", &lengthMs_, 4)) return false;
        at_ = 0;
        return true;
    }
    bool ReadData(uint32_t bytes, void* buffer, uint32_t* delivered) override {
        Note("ReadData:" + std::to_string(bytes));
        const uint32_t total = lengthMs_ * kBytesPerMs;
        const uint32_t n = stream_ && at_ < total ? std::min(bytes, total - at_) : 0;
        auto* out = static_cast<uint8_t*>(buffer);
        for (uint32_t i = 0; i < n; ++i, ++at_) {
            const uint16_t sample = (at_ / 40) % 2 ? 0x1800 : 0xE800;  // 100 Hz
            out[i] = static_cast<uint8_t>(at_ % 2 ? sample >> 8 : sample);
        }
        if (delivered) *delivered = n;
        return n > 0;
    }
    void Rewind() override { Note("Rewind"), at_ = 0; }
    void GetFormat(SoundFormat* format) override {
        Note("GetFormat");
        *format = {1, 1, 8000, 8000 * 2, 2, 16, 0, 0};  // PCM, mono, 8000 Hz, 16 bits
    }
    uint32_t GetLength() override { return Note("GetLength"), stream_ ? lengthMs_ : 0; }
    uint32_t GetPositionMs() override { return Note("GetPositionMs"), at_ / kBytesPerMs; }
    void SetPositionMs(uint32_t ms) override {
        Note("SetPositionMs:" + std::to_string(ms));
        at_ = ms * kBytesPerMs;
    }
    void Close() override { Note("Close"), LetGo(); }

private:
    uint32_t lengthMs_ = 0, at_ = 0;
};

// A game's image format: "KYRI", width, height, then the pixels (0xAARRGGBB, rows top to
// bottom). Its decoder has no compressor.
class GamePlugin final : public GameDecoder<GamePlugin, Plugin> {
public:
    static uint32_t Pixel(uint32_t x, uint32_t y) { return 0xFF000077u | x << 16 | y << 8; }
    static std::vector<uint8_t> File(uint32_t width, uint32_t height) {
        std::vector<uint8_t> bytes = Start("KYRI");
        Put(bytes, width);
        Put(bytes, height);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) Put(bytes, Pixel(x, y));
        return bytes;
    }
    uint32_t GetImageWidth() override { return Note("GetImageWidth"), stream_ ? size_[0] : 0; }
    uint32_t GetImageHeight() override { return Note("GetImageHeight"), stream_ ? size_[1] : 0; }
    uint32_t GetBitCount() override { return Note("GetBitCount"), stream_ ? 32 : 0; }
    bool Open(DataStream* stream) override {
        return Note("Open"), OpenOn(stream, "KYRI", size_, sizeof size_);
    }
    void Decode(void* destination, uint32_t width, uint32_t height, bool compress) override {
        Note("Decode:" + std::to_string(width) + "x" + std::to_string(height) +
             (compress ? ":dxt5" : ""));
        if (!stream_ || !destination || compress) return;
        auto* out = static_cast<uint32_t*>(destination);
        std::fill(out, out + width * height, 0u);
        for (uint32_t y = 0; y < std::min(height, size_[1]); ++y) {
            stream_->Seek(12 + y * size_[0] * 4, 0);
            stream_->Read(out + y * width, 4, std::min(width, size_[0]));
        }
    }
    void Close() override { Note("Close"), LetGo(); }

private:
    uint32_t size_[2] = {};  // width, height
};

// A 24-bit BMP of the given size; pixel (x, y) counted from the top is BmpPixel(x, y).
uint32_t BmpPixel(uint32_t x, uint32_t y) {
    return 0xFF000030u | (0x10 + x) << 16 | (0x20 + y) << 8;
}
std::vector<uint8_t> Bmp24(uint32_t width, uint32_t height) {
    const uint32_t stride = (width * 3 + 3) & ~3u;
    std::vector<uint8_t> b;
    Put<uint16_t>(b, 0x4D42);  // "BM"
    for (uint32_t v : {54 + stride * height, 0u, 54u, 40u, width, height}) Put(b, v);
    Put<uint16_t>(b, 1);
    Put<uint16_t>(b, 24);
    for (int i = 0; i < 6; ++i) Put<uint32_t>(b, 0);
    for (uint32_t row = 0; row < height; ++row) {  // bottom-up
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t c = BmpPixel(x, height - 1 - row);
            for (int shift : {0, 8, 16}) b.push_back(static_cast<uint8_t>(c >> shift));
        }
        b.resize(b.size() + stride - width * 3, 0);
    }
    return b;
}

// ---------------------------------------------------------------------------------------

// The table entry this program's declaration gives an operation, which a game built from the
// same declarations calls: GCC stores a virtual member pointer as 1 + the entry's byte offset.
template <class M>
int Entry(M member) {
    uintptr_t raw = 0;
    std::memcpy(&raw, &member, sizeof raw);
    return static_cast<int>((raw - 1) / sizeof(void*));
}

TEST_F(Contract, OperationsAfterTheDestructorSitOneEntryOn) {
    EXPECT_EQ(Entry(&Stream::OpenFile), 9);  // no destructor in between: IDataStream has none
    EXPECT_EQ(Entry(&SoundReader::Close), 10);
    EXPECT_EQ(Entry(&Video::GetFrameRate), 20);
    EXPECT_EQ(Entry(&Lines::Inert23), 23 + 1);
    EXPECT_EQ(Entry(&Video::SetLoopStart), 22 + 1);
    EXPECT_EQ(Entry(&VideoTexture::SetLoopStart), 23 + 1);
    EXPECT_EQ(sizeof(SoundFormat), 20u);
}

// IKYRStd: its memory operations on two 8-byte blocks, its trigonometry by rows.
TEST_F(Contract, StandardServices) {
    Ref<Std> std = Checked(Make<Std>(0));
    ASSERT_TRUE(std);
    EXPECT_EQ(std->CreateObject(Id(kIdNone)), nullptr);
    int32_t a = 3, b = -7;
    EXPECT_EQ(std->SwapInt(&a, &b), &a);
    EXPECT_EQ(a, -7);
    EXPECT_EQ(b, 3);

    using Block = std::vector<uint8_t>;
    const Block source = {1, 2, 3, 4, 5, 6, 7, 8}, untouched(8, 0xEE);
    struct MemoryRow {
        const char* what;
        std::function<void(uint8_t* to, uint8_t* from)> run;
        Block to, from;  // both blocks afterwards
    } memoryRows[] = {
        {"CopyMemory 5", [&](uint8_t* t, uint8_t* f) { std->CopyMemory(t, f, 5); },
         {1, 2, 3, 4, 5, 0xEE, 0xEE, 0xEE}, source},
        {"SwapMemory 3", [&](uint8_t* t, uint8_t* f) { std->SwapMemory(t, f, 3); },
         {1, 2, 3, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}, {0xEE, 0xEE, 0xEE, 4, 5, 6, 7, 8}},
        {"RepeatMemory 2 x 3", [&](uint8_t* t, uint8_t* f) { std->RepeatMemory(t, f, 2, 3); },
         {1, 2, 1, 2, 1, 2, 0xEE, 0xEE}, source},
        {"FillWord 3", [&](uint8_t* t, uint8_t*) { std->FillWord(t, 0xABCD, 3); },
         {0xCD, 0xAB, 0xCD, 0xAB, 0xCD, 0xAB, 0xEE, 0xEE}, source},
        {"FillDword 1", [&](uint8_t* t, uint8_t*) { std->FillDword(t, 0x11223344, 1); },
         {0x44, 0x33, 0x22, 0x11, 0xEE, 0xEE, 0xEE, 0xEE}, source},
    };
    for (const MemoryRow& r : memoryRows) {
        Block to = untouched, from = source;
        r.run(to.data(), from.data());
        EXPECT_EQ(to, r.to) << r.what;
        EXPECT_EQ(from, r.from) << r.what;
    }

    struct TrigRow {
        const char* what;
        float got, want;
    } trigRows[] = {
        {"SinDeg 30", std->SinDeg(30), 0.5f},
        {"CosDeg 30", std->CosDeg(30), 0.8660254f},
        {"Atan2Deg 5, 0", std->Atan2Deg(5, 0), 90},
        {"Atan2Deg -1, -1", std->Atan2Deg(-1, -1), -135},
        {"PowInt 2, -2", std->PowInt(2, -2), 0.25f},
    };
    for (const TrigRow& r : trigRows) EXPECT_NEAR(r.got, r.want, 1e-5f) << r.what;
    EXPECT_EQ(std->CosDeg(90), -8.742278e-08f);  // the sine table's pi is 3.1415927
    EXPECT_EQ(Bits(std->PowInt(3.3f, 3)), 0x420FBF7Cu);  // every step rounded to single
    EXPECT_EQ(Drop(std.release()), 0);
}

// IStdFileStream over a block and over a file: positions by rows after each step.
TEST_F(Contract, FileStream) {
    Ref<Std> std = Make<Std>(0);
    Ref<Stream> s = Checked(New<Stream>(*std, kIdFileStream));
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->IsEnd()) << "closed: position and size are both 0";
    EXPECT_EQ(s->GetSize(), 0u);
    std::vector<uint8_t> block(100);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 3 + 1);
    EXPECT_FALSE(s->OpenMemory(block.data(), 0));
    ASSERT_TRUE(s->OpenMemory(block.data(), 100));
    EXPECT_FALSE(s->OpenMemory(block.data(), 100)) << "already open";
    EXPECT_EQ(s->GetSize(), 100u);
    EXPECT_EQ(s->GetPosition(), 0u);
    EXPECT_FALSE(s->IsEnd());
    struct SeekRow {
        int32_t offset, origin;
        uint32_t position;
    } seeks[] = {{30, 0, 30}, {10, 1, 40}, {10, 2, 90}, {0, 3, 90}, {-5, 0, 100}, {92, 0, 92}};
    for (const SeekRow& r : seeks) {
        s->Seek(r.offset, r.origin);
        EXPECT_EQ(s->GetPosition(), r.position) << "Seek " << r.offset << ", " << r.origin;
        EXPECT_EQ(s->IsEnd(), r.position == 100) << r.position;
    }
    uint8_t read[12] = {};
    EXPECT_EQ(s->Read(read, 3, 4), 2u) << "8 bytes left: two whole elements and a short one";
    EXPECT_EQ(std::vector<uint8_t>(read, read + 8), std::vector<uint8_t>(&block[92], &block[100]));
    EXPECT_TRUE(s->IsEnd());
    s->Close();
    EXPECT_EQ(s->GetSize(), 0u);

    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    std::strcat(path, "kyr_contract_stream.bin");
    const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, block.data(), 37, &written, nullptr);
    CloseHandle(file);
    EXPECT_FALSE(s->OpenFile("Z:\\no\\such\\kyr_contract.bin"));
    ASSERT_TRUE(s->OpenFile(path));
    EXPECT_EQ(s->GetSize(), 37u);
    std::vector<uint8_t> got(40);
    EXPECT_EQ(s->Read(got.data(), 1, 40), 37u);
    EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.begin() + 37),
              std::vector<uint8_t>(block.begin(), block.begin() + 37));
    s->Close();
    DeleteFileA(path);
    EXPECT_EQ(Drop(s.release()), 0);
}

// IStdFPSWait: a slow rate to see a wait, a fast one to fall behind.
TEST_F(Contract, FramePacer) {
    Ref<Std> std = Make<Std>(0);
    Ref<Pacer> pacer = Checked(New<Pacer>(*std, kIdPacer));
    ASSERT_TRUE(pacer);
    EXPECT_EQ(pacer->Wait(), 0u) << "idle";
    EXPECT_FALSE(pacer->IsLate());
    EXPECT_EQ(pacer->Start(0), 0u);
    const uint32_t started = pacer->Start(4);  // 250 ms a frame
    EXPECT_LT(timeGetTime() - started, 1000u) << "the start time";
    EXPECT_EQ(pacer->Start(4), 0u) << "already running";
    const uint32_t wait = pacer->Wait();
    EXPECT_GT(wait, 0u);
    EXPECT_LE(wait, 250u);
    pacer->Stop();
    EXPECT_EQ(pacer->Wait(), 0u) << "stopped";
    // At 60 frames a second a frame that comes 120 ms late is behind by three frames or more,
    // and under the 240 ms after which the backlog is dropped.
    ASSERT_NE(pacer->Start(60), 0u) << "Stop let the pacer start again";
    Sleep(120);
    EXPECT_EQ(pacer->Wait(), 0u);
    EXPECT_TRUE(pacer->IsLate());
    pacer->Stop();
    EXPECT_TRUE(pacer->IsLate()) << "Stop keeps the late flag";
    EXPECT_EQ(Drop(pacer.release()), 0);
}

UINT ticks = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { ++ticks; }

// IKYRWin: a font made as asked, the desktop's context, a program run to its end, a pump.
TEST_F(Contract, WindowServices) {
    Ref<Win> win = Checked(Make<Win>(1));
    ASSERT_TRUE(win);
    EXPECT_EQ(win->CreateFontHandle("Tahoma", 0, 0, 1, false, false, false), nullptr);
    const HFONT font = win->CreateFontHandle("Tahoma", 7, 20, 4, true, false, true);
    LOGFONTA made = {};
    ASSERT_EQ(GetObjectA(font, sizeof made, &made), static_cast<int>(sizeof made));
    EXPECT_EQ(made.lfWidth, 7);
    EXPECT_EQ(made.lfHeight, 20);
    EXPECT_EQ(made.lfWeight, 700);
    EXPECT_TRUE(made.lfItalic && !made.lfUnderline && made.lfStrikeOut);
    DeleteObject(font);

    const HDC dc = win->GetDesktopDC();
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    EXPECT_EQ(win->GetDesktopDC(), dc) << "kept for the next ask";
    EXPECT_EQ(win->ReleaseDesktopDC(), 1);
    EXPECT_EQ(win->ReleaseDesktopDC(), 0) << "nothing held";

    char missing[] = "kyr_no_such_program.exe";
    EXPECT_FALSE(win->RunAndWait(missing));
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::strcat(folder, "kyr_contract_ran");
    RemoveDirectoryA(folder);
    std::string line = std::string("cmd.exe /c mkdir \"") + folder + "\"";
    ASSERT_TRUE(win->RunAndWait(&line[0]));
    EXPECT_NE(GetFileAttributesA(folder), INVALID_FILE_ATTRIBUTES) << "it had ended";
    RemoveDirectoryA(folder);

    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Tick);
    const DWORD before = GetTickCount();
    win->PumpMessagesFor(100);
    EXPECT_GE(GetTickCount() - before, 100u);
    EXPECT_GE(ticks, 2u) << "the timer's messages were dispatched";
    KillTimer(nullptr, timer);
    EXPECT_EQ(Drop(win.release()), 0);
}

// IKYRDI and IDIInput: the keyboard on the bench, which has no game controller.
TEST_F(Contract, Input) {
    Ref<DI> di = Checked(Make<DI>(4));
    ASSERT_TRUE(di);
    const GUID id = Id(kIdDirectInput);
    EXPECT_EQ(di->GetDirectInput(id), nullptr) << "not initialised";
    EXPECT_EQ(di->CreateKeyboard(), nullptr);
    ASSERT_TRUE(di->Initialize(GetModuleHandleA(nullptr)));
    EXPECT_TRUE(IsA(di->GetDirectInput(id), IID_IDirectInput8A));
    EXPECT_EQ(di->GetDirectInput(Id(kIdNone)), nullptr);
    Ref<Device> keyboard(di->CreateKeyboard());
    ASSERT_TRUE(keyboard);
    ExpectCounting(keyboard.get(), 1);
    EXPECT_EQ(di->GetRefCount(), 2) << "the keyboard holds its maker";
    EXPECT_EQ(keyboard->Poll(), DI_OK);  // Wine polls a keyboard (Windows: DI_NOEFFECT)
    uint8_t keys[256];
    std::memset(keys, 0xAA, sizeof keys);
    EXPECT_EQ(keyboard->GetState(sizeof keys, keys), S_OK);
    EXPECT_TRUE(std::all_of(keys, keys + 256, [](uint8_t k) { return k == 0 || k == 0x80; }));
    EXPECT_EQ(keyboard->GetState(16, keys), DIERR_INVALIDPARAM) << "only the keyboard's size";
    EXPECT_EQ(di->CreateJoystick(0), nullptr);
    EXPECT_EQ(di->CreateJoystick(16), nullptr);
    di->Shutdown();
    EXPECT_EQ(di->GetDirectInput(id), nullptr);
    EXPECT_EQ(di->CreateKeyboard(), nullptr);
    EXPECT_EQ(Drop(keyboard.release()) + Drop(di.release()), 0);
}

// ---------------------------------------------------------------------------------------
// Graphics: one interface with a device on a window of its own for each section.

constexpr uint32_t kBackground = 0xFF202020, kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000,
                   kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

class Graphics : public Contract {
protected:
    void SetUp() override {
        window_ = NewWindow();
        d3d_ = Make<D3D>(2);
        ASSERT_TRUE(d3d_);
        ASSERT_TRUE(d3d_->CreateDevice(window_.get(), 1, width_, height_) ||
                    d3d_->CreateDevice(window_.get(), 2, width_, height_));
    }
    void TearDown() override {
        ExpectLastReference(d3d_, [](D3D& d3d) { d3d.ReleaseDevice(); });
        Contract::TearDown();
    }
    template <class T>
    Ref<T> Object(const wchar_t* id) { return New<T>(*d3d_, id); }
    Ref<Texture> NewTexture(uint32_t width, uint32_t height, bool target, bool dxt5) {
        Ref<Texture> t = Object<Texture>(kIdTexture);
        EXPECT_TRUE(t && t->Create(width, height, target, dxt5));
        return t;
    }
    IDirect3DDevice9* Raw() {
        return static_cast<IDirect3DDevice9*>(d3d_->CreateObject(Id(kIdDevice)));
    }
    // The back buffer after `draw` ran in a scene on a frame cleared to kBackground.
    std::vector<uint32_t> Frame(const std::function<void()>& draw) {
        std::vector<uint32_t> pixels(width_ * height_);
        Ref<BackBuffer> back = Object<BackBuffer>(kIdBackBuffer);
        EXPECT_TRUE(back && back->Create());
        d3d_->Clear(kBackground);
        if (d3d_->BeginScene()) draw();
        d3d_->EndScene();
        EXPECT_TRUE(back && back->ReadPixels(pixels.data()));
        d3d_->Present();
        return pixels;
    }

    uint32_t width_ = 96, height_ = 64;  // wider than tall, so the two sizes are told apart
    Window window_{nullptr, &DestroyWindow};
    Ref<D3D> d3d_;
};

// The first pixel of a texture, through a lock (a render target's is its current image).
uint32_t FirstTexel(Texture& t) {
    D3DLOCKED_RECT r = {};
    if (!t.Lock(&r, false)) return 0;
    const uint32_t texel = *static_cast<const uint32_t*>(r.pBits);
    t.Unlock();
    return texel;
}

// IKYRD3D: the adapter record, the device's settings, targets, the scene's lock, the object
// factory, reset and release.
TEST_F(Graphics, Device) {
    ExpectCounting(d3d_.get(), 1);
    // The record by its bytes: every field plausible, nothing written past its end.
    std::vector<uint8_t> bytes(sizeof(AdapterInfo) + 16, 0xCD);
    auto* info = reinterpret_cast<AdapterInfo*>(bytes.data());
    EXPECT_FALSE(d3d_->GetAdapterInfo(info, 0, 480));
    ASSERT_TRUE(d3d_->GetAdapterInfo(info, 640, 480));
    EXPECT_TRUE(std::all_of(bytes.begin() + sizeof(AdapterInfo), bytes.end(),
                            [](uint8_t b) { return b == 0xCD; }));
    auto* direct3d = static_cast<IDirect3D9*>(d3d_->CreateObject(Id(kIdDirect3D)));
    ASSERT_NE(direct3d, nullptr);
    D3DADAPTER_IDENTIFIER9 adapter = {};
    D3DCAPS9 caps = {};
    ASSERT_EQ(direct3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &adapter), D3D_OK);
    ASSERT_EQ(direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_STREQ(info->description, adapter.Description);
    EXPECT_GT(std::strlen(info->description), 0u);
    const DWORD hal = D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    const bool pure = (caps.DevCaps & (hal | D3DDEVCAPS_PUREDEVICE)) ==
                          (hal | D3DDEVCAPS_PUREDEVICE) &&
                      caps.VertexShaderVersion >= D3DVS_VERSION(1, 1);
    EXPECT_EQ(info->vertexProcessing, pure ? 0 : (caps.DevCaps & hal) == hal ? 1 : 2);
    EXPECT_GE(info->videoMemory, 1u << 20);
    EXPECT_EQ(info->maxTextureWidth, caps.MaxTextureWidth);
    EXPECT_EQ(info->maxTextureHeight, caps.MaxTextureHeight);
    EXPECT_EQ(info->vertexShader20, caps.VertexShaderVersion >= D3DVS_VERSION(2, 0));
    EXPECT_EQ(info->pixelShader20, caps.PixelShaderVersion >= D3DPS_VERSION(2, 0));
    EXPECT_EQ(info->nonPow2Textures, !(caps.TextureCaps & D3DPTEXTURECAPS_POW2));
    for (size_t at : {offsetof(AdapterInfo, vertexShader20), offsetof(AdapterInfo, pixelShader20),
                      offsetof(AdapterInfo, nonPow2Textures)})
        EXPECT_LE(bytes[at], 1) << "a bool at " << at;

    IDirect3DDevice9* raw = Raw();
    ASSERT_NE(raw, nullptr);
    EXPECT_GT(d3d_->GetAvailableTextureMem(), 1u << 20);
    EXPECT_FALSE(d3d_->CreateDevice(window_.get(), 1, width_, height_)) << "one device";
    // The two settings held opposite ways, then the reset that takes the first.
    EXPECT_TRUE(d3d_->GetVSync());
    EXPECT_FALSE(d3d_->GetNonPow2Textures());
    d3d_->SetVSync(false);
    d3d_->SetNonPow2Textures(true);
    EXPECT_FALSE(d3d_->GetVSync());
    EXPECT_TRUE(d3d_->GetNonPow2Textures());
    EXPECT_FALSE(d3d_->ResetDevice(0, 48));
    ASSERT_TRUE(d3d_->ResetDevice(width_ = 128, height_ = 48));
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(raw->GetSwapChain(0, &chain), D3D_OK);
    D3DPRESENT_PARAMETERS presented = {};
    chain->GetPresentParameters(&presented);
    chain->Release();
    EXPECT_EQ(presented.BackBufferWidth, 128u);
    EXPECT_EQ(presented.BackBufferHeight, 48u);
    EXPECT_EQ(presented.PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
    EXPECT_EQ(d3d_->TestCooperativeLevel(), D3D_OK);

    // Targets: the viewport follows the texture's requested size, then the back buffer's.
    Ref<Texture> target = NewTexture(24, 8, true, false), plain = NewTexture(20, 12, false, false);
    EXPECT_EQ(plain->GetTextureWidth(), 20u) << "sizes in steps of 4 now";
    EXPECT_EQ(d3d_->GetRenderTarget(), nullptr);
    EXPECT_FALSE(d3d_->SetRenderTarget(plain.get())) << "not a render target";
    ASSERT_TRUE(d3d_->SetRenderTarget(target.get()));
    EXPECT_EQ(d3d_->GetRenderTarget(), target.get());
    EXPECT_EQ(target->GetRefCount(), 2) << "held while it is the target";
    D3DVIEWPORT9 viewport = {};
    raw->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width * 1000 + viewport.Height, 24u * 1000 + 8);
    d3d_->Clear(0x00123456);
    ASSERT_TRUE(d3d_->SetRenderTarget(nullptr));
    EXPECT_EQ(d3d_->GetRenderTarget(), nullptr);
    EXPECT_EQ(target->GetRefCount(), 1);
    raw->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width * 1000 + viewport.Height, 128u * 1000 + 48);
    EXPECT_EQ(FirstTexel(*target), 0x00123456u) << "the target was cleared, alpha and all";

    // A scene holds the device's lock: another thread's Clear waits for EndScene.
    std::atomic<bool> cleared{false};
    ASSERT_TRUE(d3d_->BeginScene());
    std::thread other([&] {
        d3d_->Clear(kBackground);
        cleared = true;
    });
    Sleep(100);
    EXPECT_FALSE(cleared) << "the scene holds the device";
    d3d_->EndScene();
    other.join();
    EXPECT_TRUE(cleared);
    EXPECT_TRUE(d3d_->Present());

    // Every object identifier gives a new object with one reference, holding its maker.
    for (const wchar_t* id : {kIdQuads, kIdLines, kIdTriangles, kIdTexture, kIdVideo,
                              kIdVideoTexture, kIdBackBuffer}) {
        Ref<Obj> made(static_cast<Obj*>(d3d_->CreateObject(Id(id))));
        ASSERT_TRUE(made);
        EXPECT_EQ(made->GetRefCount(), 1);
        EXPECT_EQ(d3d_->GetRefCount(), 4) << "with the two textures";
        EXPECT_EQ(Drop(made.release()), 0);
    }
    EXPECT_EQ(d3d_->CreateObject(Id(kIdNone)), nullptr);

    EXPECT_TRUE(d3d_->ReleaseDevice());
    EXPECT_FALSE(d3d_->ReleaseDevice());
    EXPECT_EQ(Raw(), nullptr);
    EXPECT_EQ(d3d_->GetAvailableTextureMem(), 0u);
    EXPECT_EQ(d3d_->TestCooperativeLevel(), D3DERR_INVALIDCALL);
    EXPECT_FALSE(d3d_->SetRenderTarget(nullptr));
    EXPECT_FALSE(d3d_->BeginScene());
    d3d_->EndScene();
    EXPECT_FALSE(d3d_->Present());
}

// ID3DTexture by rows of sizes and kinds; what a lock writes, the next lock reads.
TEST_F(Graphics, Texture) {
    struct Row {
        const char* what;
        uint32_t width, height;
        bool target, dxt5, steps4;
        uint32_t allocatedWidth, allocatedHeight;
        bool isTarget, isDxt5;
    } rows[] = {
        {"plain", 20, 12, false, false, false, 32, 16, false, false},
        {"plain, sizes in steps of 4", 20, 12, false, false, true, 20, 12, false, false},
        {"DXT5", 8, 24, false, true, false, 8, 32, false, true},
        {"render target", 24, 8, true, false, false, 32, 8, true, false},
        {"render target, asked compressed", 24, 8, true, true, false, 32, 8, true, false},
    };
    for (const Row& r : rows) {
        d3d_->SetNonPow2Textures(r.steps4);
        Ref<Texture> t = Object<Texture>(kIdTexture);
        ASSERT_TRUE(t);
        ExpectCounting(t.get(), 1);
        EXPECT_EQ(t->GetWidth(), 0u);
        ASSERT_TRUE(t->Create(r.width, r.height, r.target, r.dxt5)) << r.what;
        EXPECT_EQ(t->GetWidth(), r.width) << r.what;
        EXPECT_EQ(t->GetHeight(), r.height) << r.what;
        EXPECT_EQ(t->GetTextureWidth(), r.allocatedWidth) << r.what;
        EXPECT_EQ(t->GetTextureHeight(), r.allocatedHeight) << r.what;
        EXPECT_EQ(t->IsRenderTarget(), r.isTarget) << r.what;
        EXPECT_EQ(t->IsCompressed(), r.isDxt5) << r.what;

        // Rows of pixels, or of 16-byte blocks four pixel rows high.
        const uint32_t rowBytes = r.isDxt5 ? r.allocatedWidth / 4 * 16 : r.allocatedWidth * 4;
        const uint32_t rowCount = r.isDxt5 ? r.allocatedHeight / 4 : r.allocatedHeight;
        auto pattern = [&](uint32_t row, uint32_t i) { return static_cast<uint8_t>(row * 7 + i); };
        D3DLOCKED_RECT lock = {};
        ASSERT_TRUE(t->Lock(&lock, true)) << r.what;
        EXPECT_FALSE(t->Lock(&lock, true)) << r.what << ": already locked";
        ASSERT_GE(static_cast<uint32_t>(lock.Pitch), rowBytes) << r.what;
        for (uint32_t row = 0; row < rowCount; ++row)
            for (uint32_t i = 0; i < rowBytes; ++i)
                static_cast<uint8_t*>(lock.pBits)[row * lock.Pitch + i] = pattern(row, i);
        t->Unlock();
        // Kept, or for a target read back: the same bytes. Not kept, a plain texture's next
        // lock starts from a new copy, which holds nothing of the texture.
        for (bool again : {false, true}) {
            ASSERT_TRUE(t->Lock(&lock, false)) << r.what;
            const uint8_t* bits = static_cast<const uint8_t*>(lock.pBits);
            const bool same = bits[lock.Pitch + 5] == pattern(1, 5) &&
                              bits[(rowCount - 1) * lock.Pitch + rowBytes - 1] ==
                                  pattern(rowCount - 1, rowBytes - 1);
            EXPECT_EQ(same, !again || r.isTarget) << r.what << (again ? ", not kept" : ", kept");
            t->Unlock();
        }
        t->Destroy();
        EXPECT_EQ(t->GetWidth() + t->GetHeight() + t->GetTextureWidth(), 0u) << r.what;
        EXPECT_FALSE(t->IsRenderTarget() || t->IsCompressed()) << r.what;
        EXPECT_FALSE(t->Lock(&lock, false)) << r.what << ": nothing to lock";
    }
    Ref<Texture> t = Object<Texture>(kIdTexture);
    EXPECT_TRUE(t->Create(0, 10, false, false)) << "a zero side makes nothing";
    EXPECT_EQ(t->GetHeight(), 0u);
}

// A texel of the batches' texture: column and row can be read off its colour.
uint32_t Texel(uint32_t x, uint32_t y) {
    return 0xFF00005Au | (x * 8 + 4) << 16 | (y * 16 + 8) << 8;
}

// A quad of w x h pixels at (x, y) showing the texels from (0, 0), the depth layer z.
QuadDesc Quad(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t z, uint32_t colour,
              float rhwTop = 1, float rhwBottom = 1) {
    return {{0, w, 0, w}, {0, 0, h, h}, {x, x + w, x, x + w}, {y, y, y + h, y + h}, {z, z, z, z},
            {rhwTop, rhwTop, rhwBottom, rhwBottom}, {colour, colour, colour, colour}};
}
// A right triangle with its right angle at (x, y), sides of `size` to the right and down.
TriangleDesc Triangle(int32_t x, int32_t y, int32_t size, uint32_t colour) {
    return {{0, size, 0}, {0, 0, size}, {x, x + size, x}, {y, y, y + size}, {}, {1, 1, 1},
            {colour, colour, colour}};
}
LinePoint Point(int32_t x, int32_t y, int32_t z = 0) { return {x, y, z, kRed, kBlue}; }

// The three batches: their settings and point list, then a row per draw, read back.
TEST_F(Graphics, Batches) {
    Ref<Texture> tex = NewTexture(20, 12, false, false);  // allocated 32 x 16
    ASSERT_TRUE(tex);
    D3DLOCKED_RECT lock = {};
    ASSERT_TRUE(tex->Lock(&lock, false));
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 32; ++x)
            static_cast<uint32_t*>(lock.pBits)[y * lock.Pitch / 4 + x] = Texel(x, y);
    tex->Unlock();
    Ref<Texture> uncreated = Object<Texture>(kIdTexture);
    Ref<Quads> quads = Object<Quads>(kIdQuads);
    Ref<Triangles> tris = Object<Triangles>(kIdTriangles);
    Ref<Lines> lines = Object<Lines>(kIdLines);
    ASSERT_TRUE(quads && tris && lines);
    // The texture and render-mode slots sit at 3/4 and 7/8, 3/4 and 5/6, 3/4 and 7/8: each
    // batch through its own table, with a value for each mode no neighbour holds.
    auto ready = [&](auto* batch) {
        ExpectCounting(batch, 1);
        int32_t colour = 0, blend = 0;
        bool blending = false, test = false, linear = true;
        batch->SetRenderMode(1, 9, true, true, false);
        batch->SetRenderMode(3, 0, false, false, false);  // no colour mode 3: nothing changes
        batch->GetRenderMode(&colour, &blend, &blending, &test, &linear);
        EXPECT_TRUE(colour == 1 && blend == 9 && blending && test && !linear);
        EXPECT_EQ(batch->GetTexture(), nullptr);
        EXPECT_FALSE(batch->SetTexture(uncreated.get()));
        EXPECT_TRUE(batch->SetTexture(tex.get()));
        EXPECT_EQ(batch->GetTexture(), tex.get());
    };
    ready(quads.get());
    ready(tris.get());
    ready(lines.get());
    EXPECT_EQ(tex->GetRefCount(), 4) << "each batch holds its texture";

    EXPECT_EQ(quads->GetCapacity(), 0u);
    EXPECT_FALSE(quads->Reserve(0));
    ASSERT_TRUE(quads->Reserve(3));
    EXPECT_EQ(quads->GetCapacity(), 3u);
    const QuadDesc quad = Quad(10, 20, 8, 4, 0, kWhite);
    for (int i = 0; i < 4; ++i) quads->AddQuad(&quad, 0, 0, 0, 0);  // the fourth is dropped
    EXPECT_EQ(quads->RemoveLastQuad(), 4u) << "triangles left";
    EXPECT_EQ(quads->RemoveLastQuad(), 2u);
    quads->ClearQuads();
    EXPECT_EQ(quads->RemoveLastQuad(), 0u);

    // The point list, points named by their x; equal points are those of equal x and y.
    EXPECT_EQ(lines->GetCapacity(), 0u);
    EXPECT_FALSE(lines->Reserve(1));
    ASSERT_TRUE(lines->Reserve(6));
    EXPECT_EQ(lines->GetCapacity(), 6u);
    auto xs = [&] {
        std::vector<int32_t> got;
        for (uint32_t i = 0; i < lines->GetPointCount(); ++i) got.push_back(lines->GetPoint(i)->x);
        return got;
    };
    const LinePoint p1 = Point(1, 1), p2 = Point(2, 2), p3 = Point(3, 3), p4 = Point(4, 4);
    const LinePoint p5 = Point(5, 5), p2Again = {2, 2, 9, kGreen, kGreen}, p2Below = Point(2, 3);
    lines->PushBack(&p1);
    lines->PushBack(&p2);
    lines->PushFront(&p3);
    lines->PushBack(&p2Again);  // equal to the last: not added
    EXPECT_EQ(xs(), (std::vector<int32_t>{3, 1, 2}));
    lines->InsertAfter(0, &p4);
    lines->InsertAfter(9, &p5);  // past the end: at the back
    EXPECT_EQ(xs(), (std::vector<int32_t>{3, 4, 1, 2, 5}));
    EXPECT_EQ(std::memcmp(lines->GetPoint(1), &p4, sizeof p4), 0) << "the whole record kept";
    EXPECT_EQ(lines->GetPoint(99)->x, 3) << "past the end: the first";
    lines->PopFront();
    EXPECT_EQ(lines->PopBack(), 3u);
    lines->Inert18(1, 2, 3);  // does nothing
    EXPECT_EQ(xs(), (std::vector<int32_t>{4, 1, 2}));
    lines->PushBack(&p2Below);  // same x, another y: added
    lines->PushBack(&p1);
    lines->RemoveAt(2);  // 2 goes, then 2 below (now next to 1) stays, 1 after it stays
    EXPECT_EQ(xs(), (std::vector<int32_t>{4, 1, 2, 1}));
    lines->RemoveAt(2);  // 2 below goes; the 1 after it equals the 1 before it and goes too
    EXPECT_EQ(xs(), (std::vector<int32_t>{4, 1}));
    lines->ClearPoints();
    EXPECT_EQ(lines->GetPointCount(), 0u);
    EXPECT_EQ(lines->GetLineWidth(), 0.0f);
    lines->SetLineWidth(8);
    lines->Inert23(1, 2, 3, 4, 5);  // at entry 24, and does nothing
    EXPECT_EQ(lines->GetLineWidth(), 8.0f);

    // Rows: what each draw leaves on the frame. Colour mode 0 shows the texels as they are
    // (white vertex colour), mode 2 the vertex colour alone. A probe that is not exact asks
    // only which channel is strongest (the line's colours blend across its width).
    struct Probe {
        int x, y;
        uint32_t want;
        bool exact = true;
    };
    auto flat = [&](auto* batch) { batch->SetRenderMode(2, 0, false, false, false); };
    auto drawQuad = [&](const QuadDesc& q, int32_t colourMode, float angleZ) {
        quads->SetRenderMode(colourMode, 0, false, false, false);
        quads->AddQuad(&q, 0, 0, angleZ, 0);
        quads->Draw();
    };
    const QuadDesc perspective = Quad(50, 20, 8, 8, 0, kWhite, 2.0f, 0.5f);
    const QuadDesc nearGreen = Quad(30, 20, 10, 10, 100, kGreen);
    const QuadDesc farBlue = Quad(30, 20, 10, 10, 60000, kBlue);
    const QuadDesc redBehind = Quad(10, 36, 80, 16, 29491, kRed);      // depth 0.45
    const QuadDesc greenBehind = Quad(40, 50, 30, 12, 29491, kGreen);  // depth 0.45
    const TriangleDesc tri = Triangle(60, 36, 16, kGreen);
    const TriangleDesc front = Triangle(12, 38, 12, kGreen), back = Triangle(40, 38, 12, kGreen);
    const LinePoint lineFrom = Point(10, 56, 0), lineTo = Point(70, 56, 65535);
    struct DrawRow {
        const char* what;
        std::function<void()> draw;
        std::vector<Probe> probes;
    } rows[] = {
        {"quad: texels to pixels",
         [&] { drawQuad(quad, 0, 0); },
         {{11, 21, Texel(1, 1)}, {17, 23, Texel(7, 3)}, {9, 21, kBackground},
          {18, 21, kBackground}}},
        {"quad turned half about z",
         [&] { drawQuad(quad, 0, 180); },
         {{11, 21, Texel(6, 2)}, {17, 23, Texel(0, 0)}}},
        {"quad: rhw bends the texture (drawn flat, the pixel would show texel 1, 3)",
         [&] { drawQuad(perspective, 0, 0); },
         {{51, 23, Texel(0, 1)}}},
        {"quads: the nearer drawn first stays in front",
         [&] {
             flat(quads.get());
             quads->AddQuad(&nearGreen, 0, 0, 0, 0);
             quads->AddQuad(&farBlue, 0, 0, 0, 0);
             quads->Draw();
             EXPECT_EQ(quads->RemoveLastQuad(), 0u) << "Draw empties the batch";
         },
         {{35, 25, kGreen}}},
        {"quad batch cleared before its draw",
         [&] { quads->AddQuad(&quad, 0, 0, 0, 0); quads->ClearQuads(); quads->Draw(); },
         {{11, 21, kBackground}}},
        {"triangle",
         [&] { flat(tris.get()); tris->AddTriangle(&tri, 0, 0, 0, 0, 0, 0); tris->Draw(); },
         {{62, 38, kGreen}, {74, 50, kBackground}}},
        {"triangle turned half about its centre moved 8 to the right",
         [&] { flat(tris.get()); tris->AddTriangle(&tri, 8, 0, 0, 0, 180, 0); tris->Draw(); },
         {{84, 44, kGreen}, {62, 38, kBackground}}},
        {"triangles in front of and behind a quad by their bias",
         [&] {
             drawQuad(redBehind, 2, 0);
             flat(tris.get());
             tris->AddTriangle(&front, 0, 0, 0, 0, 0, 0);
             tris->AddTriangle(&back, 0, 0, 0, 0, 0, 65535);
             tris->Draw();
         },
         {{14, 40, kGreen}, {42, 40, kRed}}},
        {"line: right colour above, left below, its far end behind a quad",
         [&] {
             drawQuad(greenBehind, 2, 0);
             flat(lines.get());
             lines->PushBack(&lineFrom);
             lines->PushBack(&lineTo);
             lines->Draw();
         },
         {{25, 53, kBlue, false}, {25, 59, kRed, false}, {25, 50, kBackground},
          {66, 55, kGreen}}},
    };
    auto strongest = [](uint32_t c) {
        const uint8_t r = c >> 16, g = c >> 8, b = c;
        return r > g && r > b ? 'r' : g > b ? 'g' : 'b';
    };
    for (const DrawRow& row : rows) {
        const std::vector<uint32_t> frame = Frame(row.draw);
        ASSERT_EQ(frame.size(), width_ * height_);
        for (const Probe& p : row.probes) {
            const uint32_t got = frame[p.y * width_ + p.x];
            if (p.exact)
                EXPECT_EQ(got, p.want) << row.what << " at " << p.x << "," << p.y;
            else
                EXPECT_EQ(strongest(got), strongest(p.want))
                    << row.what << " at " << p.x << "," << p.y << ": " << std::hex << got;
        }
    }
    EXPECT_EQ(lines->GetPointCount(), 2u) << "points stay after a draw";
}

// ID3DBackBuffer: its size is the back buffer's at Create, written pixels read back opaque.
TEST_F(Graphics, BackBuffer) {
    Ref<BackBuffer> back = Checked(Object<BackBuffer>(kIdBackBuffer));
    ASSERT_TRUE(back);
    std::vector<uint32_t> pixels(96 * 64);
    EXPECT_EQ(back->GetWidth() + back->GetHeight(), 0u);
    EXPECT_FALSE(back->ReadPixels(pixels.data()));
    ASSERT_TRUE(back->Create());
    EXPECT_FALSE(back->Create()) << "already made";
    EXPECT_EQ(back->GetWidth(), 96u);
    EXPECT_EQ(back->GetHeight(), 64u);
    d3d_->Clear(0x00336699);
    ASSERT_TRUE(back->ReadPixels(pixels.data()));
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xFF336699u), 96 * 64);
    std::vector<uint32_t> written(96 * 64);
    for (size_t i = 0; i < written.size(); ++i) written[i] = static_cast<uint32_t>(i * 2654435761u);
    back->WritePixels(written.data());
    ASSERT_TRUE(back->ReadPixels(pixels.data()));
    for (uint32_t& w : written) w |= 0xFF000000u;
    EXPECT_EQ(pixels, written);
    back->Destroy();
    EXPECT_EQ(back->GetWidth() + back->GetHeight(), 0u);
    EXPECT_FALSE(back->ReadPixels(pixels.data()));
    ASSERT_TRUE(back->Create());
    ASSERT_TRUE(d3d_->ResetDevice(80, 40));
    EXPECT_EQ(back->GetWidth(), 96u) << "the size of its Create";
    EXPECT_FALSE(back->ReadPixels(pixels.data())) << "until made again";
    back->Destroy();
    ASSERT_TRUE(back->Create());
    EXPECT_EQ(back->GetWidth() * 1000 + back->GetHeight(), 80u * 1000 + 40);
}

// ID3DEffect over a compiled effect (EffectSource.h): each setter on a parameter of its kind
// and on one it refuses, the values seen on the device once the pass that reads them runs.
TEST_F(Graphics, Effect) {
    Ref<Texture> tex = NewTexture(20, 12, false, false);  // allocated 32 x 16
    Ref<Effect> effect(d3d_->CreateEffect(kEffectSource));
    ASSERT_TRUE(effect);
    ExpectCounting(effect.get(), 1);
    const D3DXHANDLE f = effect->GetParameterByName(nullptr, "f");
    const D3DXHANDLE v = effect->GetParameterByName(nullptr, "v");
    const D3DXHANDLE a = effect->GetParameterByName(nullptr, "a");
    const D3DXHANDLE s = effect->GetParameterByName(nullptr, "s");
    const D3DXHANDLE one = effect->GetTechniqueByName("one");
    const D3DXHANDLE two = effect->GetTechniqueByName("two");
    ASSERT_TRUE(f && v && a && s && one && two);
    EXPECT_EQ(effect->GetParameterByName(nullptr, "two"), nullptr) << "a technique";
    EXPECT_EQ(effect->GetTechniqueByName("f"), nullptr) << "a parameter";
    const float values[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const D3DXVECTOR4 vector(9, 10, 11, 12);
    struct SetRow {
        const char* what;
        HRESULT result;
        bool accepted;
    } sets[] = {  // in this order: a braced list is evaluated left to right
        {"SetFloat on an array", effect->SetFloat(a, 7), false},
        {"SetFloat", effect->SetFloat(f, 2.25f), true},
        {"SetFloatArray on a texture", effect->SetFloatArray(s, values, 1), false},
        {"SetFloatArray", effect->SetFloatArray(a, values, 8), true},
        {"SetTexture on a float", effect->SetTexture(f, tex.get()), false},
        {"SetTexture", effect->SetTexture(s, tex.get()), true},
        {"SetVector on an array", effect->SetVector(a, &vector), false},
        {"SetVector", effect->SetVector(v, &vector), true},
        {"SetTechnique with a parameter", effect->SetTechnique(f), false},
        {"SetTechnique", effect->SetTechnique(two), true},
    };
    for (const SetRow& r : sets) EXPECT_EQ(SUCCEEDED(r.result), r.accepted) << r.what;

    IDirect3DDevice9* raw = Raw();
    ASSERT_TRUE(d3d_->BeginScene());
    UINT passes = 0;
    EXPECT_EQ(effect->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 2u) << "technique two";
    EXPECT_TRUE(FAILED(effect->BeginPass(2)));
    EXPECT_EQ(effect->BeginPass(1), D3D_OK);
    DWORD fogStart = 0;
    raw->GetRenderState(D3DRS_FOGSTART, &fogStart);
    EXPECT_EQ(fogStart, Bits(2.25f));
    float constants[8] = {};
    raw->GetVertexShaderConstantF(0, constants, 2);
    EXPECT_EQ(std::vector<float>(constants, constants + 8),
              (std::vector<float>{9, 10, 11, 12, 1, 2, 3, 4}));
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(raw->GetTexture(0, &bound), D3D_OK);
    ASSERT_NE(bound, nullptr);
    D3DSURFACE_DESC desc = {};
    static_cast<IDirect3DTexture9*>(bound)->GetLevelDesc(0, &desc);
    bound->Release();
    EXPECT_EQ(desc.Width * 1000 + desc.Height, 32u * 1000 + 16) << "the engine texture's";
    EXPECT_EQ(effect->EndPass(), D3D_OK);
    EXPECT_TRUE(FAILED(effect->EndPass())) << "no pass is running";
    EXPECT_EQ(effect->End(), D3D_OK);
    EXPECT_EQ(effect->SetTechnique(one), D3D_OK);
    EXPECT_EQ(effect->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 1u) << "technique one";
    EXPECT_EQ(effect->End(), D3D_OK);
    d3d_->EndScene();

    // A source that does not compile: one box with the compiler's words, an effect anyway.
    Ref<Effect> refused(d3d_->CreateEffect("float broken;"));
    ASSERT_TRUE(refused);
    const std::vector<Box> boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_NE(boxes[0].text.find("X3000"), std::string::npos) << boxes[0].text;
    EXPECT_TRUE(FAILED(refused->Begin(&passes, 0)));
    EXPECT_EQ(refused->GetParameterByName(nullptr, "f"), nullptr);
}

// IStdGraphicsLoader with the engine's BMP decoder over the game's stream, then with the
// game's own decoder over an engine stream.
TEST_F(Graphics, Loading) {
    Ref<Std> std = Make<Std>(0);
    Ref<Loader> loader = Checked(New<Loader>(*std, kIdLoader));
    ASSERT_TRUE(loader);
    EXPECT_EQ(loader->GetImageWidth(), 0u) << "not open";

    Ref<GameStream> bmp(new GameStream(Bmp24(3, 2)));
    ASSERT_TRUE(loader->Open(bmp.get(), nullptr));
    EXPECT_FALSE(loader->Open(bmp.get(), nullptr)) << "already open";
    EXPECT_EQ(bmp->GetRefCount(), 3) << "the loader and its BMP decoder each hold the stream";
    EXPECT_EQ(loader->GetImageWidth(), 3u);
    EXPECT_EQ(loader->GetImageHeight(), 2u);
    std::vector<uint32_t> pixels(4 * 4, 0xDEADBEEF);
    loader->Decode(pixels.data(), 4, 4, false);
    const uint32_t o = 0;  // outside the image
    EXPECT_EQ(pixels, (std::vector<uint32_t>{BmpPixel(0, 0), BmpPixel(1, 0), BmpPixel(2, 0), o,
                                             BmpPixel(0, 1), BmpPixel(1, 1), BmpPixel(2, 1), o,
                                             o, o, o, o, o, o, o, o}));
    std::vector<uint8_t> blocks(64 + 16, 0xEE);
    loader->Decode(blocks.data(), 8, 8, true);  // four DXT5 blocks
    EXPECT_NE(std::count(blocks.begin(), blocks.begin() + 64, 0xEE), 64);
    EXPECT_EQ(std::count(blocks.begin() + 64, blocks.end(), 0xEE), 16) << "nothing past them";
    EXPECT_GT(bmp->Count("Read"), 0);
    loader->Close();
    EXPECT_EQ(loader->GetImageWidth(), 0u);
    EXPECT_EQ(bmp->GetPosition(), 0u) << "the decoder rewound the stream as it let it go";
    EXPECT_EQ(bmp->GetRefCount(), 2) << "the loader keeps it until its next Open";

    Ref<Stream> kyri = New<Stream>(*std, kIdFileStream);
    const std::vector<uint8_t> file = GamePlugin::File(5, 3);
    ASSERT_TRUE(kyri->OpenMemory(file.data(), static_cast<uint32_t>(file.size())));
    Ref<GamePlugin> plugin(new GamePlugin);
    ASSERT_TRUE(loader->Open(kyri.get(), plugin.get()));
    EXPECT_EQ(bmp->GetRefCount(), 1) << "the next Open let the old stream go";
    EXPECT_EQ(plugin->GetRefCount(), 2) << "held while open";
    EXPECT_EQ(kyri->GetRefCount(), 3) << "by the loader and by the game's decoder";
    EXPECT_EQ(loader->GetImageWidth(), 5u);
    EXPECT_EQ(loader->GetImageHeight(), 3u);
    std::vector<uint32_t> decoded(8 * 4, 0xDEADBEEF);
    loader->Decode(decoded.data(), 8, 4, false);
    loader->Decode(decoded.data(), 8, 4, true);
    EXPECT_EQ(decoded[0], GamePlugin::Pixel(0, 0));
    EXPECT_EQ(decoded[2 * 8 + 4], GamePlugin::Pixel(4, 2));
    EXPECT_EQ(decoded[3 * 8], 0u);
    loader->Close();
    EXPECT_EQ(plugin->TakeCalls(),
              "Open GetImageWidth GetImageHeight Decode:8x4 Decode:8x4:dxt5 Close");
    EXPECT_EQ(plugin->GetRefCount(), 1) << "Close gave the decoder back";
    EXPECT_EQ(Drop(loader.release()), 0);
    EXPECT_EQ(kyri->GetRefCount(), 1);
}

// ---------------------------------------------------------------------------------------
// Sound: one DirectSound interface, initialised on a window of its own, for each section.

class Sound : public Contract {
protected:
    void SetUp() override {
        ds_ = Make<DS>(3);
        ASSERT_TRUE(ds_ && ds_->Initialize(window_.get()));
    }
    void TearDown() override {
        ExpectLastReference(ds_, [](DS& ds) { ds.Shutdown(); });
        Contract::TearDown();
    }

    Window window_ = NewWindow();
    Ref<DS> ds_;
};

TEST_F(Sound, Interface) {
    Ref<DS> ds = Checked(Make<DS>(3));
    ASSERT_TRUE(ds);
    const GUID id = Id(kIdDirectSound);
    EXPECT_EQ(ds->CreateObject(id), nullptr) << "not initialised";
    EXPECT_FALSE(ds->Initialize(nullptr));
    ASSERT_TRUE(ds->Initialize(window_.get()));
    EXPECT_FALSE(ds->Initialize(window_.get())) << "once";
    EXPECT_TRUE(IsA(ds->CreateObject(id), IID_IDirectSound8));
    EXPECT_EQ(ds->CreateObject(Id(kIdNone)), nullptr);
    ds->Shutdown();
    EXPECT_EQ(ds->CreateObject(id), nullptr);
    EXPECT_EQ(Drop(ds.release()), 0);
}

// IDSSoundBuffer: a WAVE sound read from the game's stream; Pause and Stop told apart by how
// long the rest plays; the game's decoder, whose reference Load takes over.
TEST_F(Sound, Buffer) {
    Ref<SoundBuffer> sound = Checked(New<SoundBuffer>(*ds_, kIdSoundBuffer));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->GetStatus(), 4) << "not loaded";
    Ref<GameStream> wav(new GameStream(kyrtest::PcmWav(2, 44100, 16, kyrtest::Ramp(88200))));
    ASSERT_TRUE(sound->Load(wav.get(), nullptr));
    EXPECT_EQ(wav->GetRefCount(), 1) << "the WAVE reader went with Load";
    EXPECT_EQ(sound->GetLength(), 500u);
    EXPECT_EQ(sound->GetStatus(), 0);
    using B = SoundBuffer;
    ExpectKnobs(*sound, {{"volume", &B::SetVolume, &B::GetVolume, 70},
                         {"pan", &B::SetPan, &B::GetPan, -40},
                         {"frequency", &B::SetFrequency, &B::GetFrequency, 35}});
    // At a quarter of its rate the sound plays for 2 s: Pause and Stop are told apart by
    // how long the rest plays, with margins no busy bench eats.
    sound->SetFrequency(25);
    auto playsFor = [&] {  // milliseconds until it stops by itself
        const DWORD from = GetTickCount();
        sound->Play();
        EXPECT_EQ(sound->GetStatus(), 1);
        EXPECT_TRUE(kyrtest::WaitUntil([&] { return sound->GetStatus() == 3; }, 10000, 5));
        return GetTickCount() - from;
    };
    sound->Play();
    Sleep(1400);
    sound->Pause();
    EXPECT_EQ(sound->GetStatus(), 0);
    EXPECT_LT(playsFor(), 1300u) << "Pause kept the position (about 600 ms were left)";
    sound->Stop();
    EXPECT_EQ(sound->GetStatus(), 0);
    EXPECT_GE(playsFor(), 1300u) << "Stop went back to the start (2000 ms to play)";
    sound->Unload();
    EXPECT_EQ(sound->GetStatus(), 4);

    Ref<GameStream> tone(new GameStream(ToneReader::File(250)));
    auto* reader = new ToneReader;
    reader->AddRef();  // one for Load, one to watch it with
    ASSERT_TRUE(sound->Load(tone.get(), reader));
    EXPECT_EQ(reader->GetRefCount(), 1) << "Load gave back the reference it was handed";
    // The whole sound in one read: 250 ms at the 16000 bytes a second the format gave.
    EXPECT_EQ(reader->TakeCalls(), "Open Rewind GetFormat GetLength ReadData:4000 GetLength Close");
    EXPECT_EQ(sound->GetLength(), 250u);
    EXPECT_EQ(tone->GetRefCount(), 1);
    reader->AddRef();
    EXPECT_FALSE(sound->Load(nullptr, reader)) << "nothing to read";
    EXPECT_EQ(reader->GetRefCount(), 1) << "given back when Load fails too";
    EXPECT_EQ(Drop(reader), 0);
}

// IDSMediaStream: the engine's WAVE reader over the game's stream, then the game's decoder,
// which Open borrows.
TEST_F(Sound, MediaStream) {
    Ref<MediaStream> music = Checked(New<MediaStream>(*ds_, kIdMediaStream));
    ASSERT_TRUE(music);
    EXPECT_EQ(music->GetStatus(), 4);
    Ref<GameStream> wav(new GameStream(kyrtest::PcmWav(2, 44100, 16, kyrtest::Ramp(176400))));
    ASSERT_TRUE(music->Open(wav.get(), "WAV", true, 400, nullptr));
    EXPECT_FALSE(music->Open(wav.get(), "WAV", true, 400, nullptr)) << "already open";
    EXPECT_EQ(wav->GetRefCount(), 3) << "the player and its WAVE reader";
    EXPECT_EQ(music->GetLength(), 1000u);
    EXPECT_TRUE(music->IsLooping());
    EXPECT_EQ(music->GetLoopPosition(), 400u);
    music->SetLoopPosition(5000);
    EXPECT_EQ(music->GetLoopPosition(), 1000u) << "at most the length";
    music->Close();
    EXPECT_EQ(music->GetStatus(), 4);
    EXPECT_FALSE(music->IsLooping()) << "nothing of the closed stream remains";
    EXPECT_EQ(wav->GetRefCount(), 2) << "the WAVE reader keeps it until its player goes";

    Ref<GameStream> tone(new GameStream(ToneReader::File(1500)));
    Ref<ToneReader> reader(new ToneReader);
    ASSERT_TRUE(music->Open(tone.get(), "tone", false, 120, reader.get()));
    EXPECT_EQ(wav->GetRefCount(), 1) << "the new Open let the old player go";
    EXPECT_EQ(reader->GetRefCount(), 2) << "borrowed: the media stream took one of its own";
    EXPECT_EQ(tone->GetRefCount(), 3) << "the player and the game's decoder";
    EXPECT_EQ(music->GetLength(), 1500u);
    EXPECT_FALSE(music->IsLooping());
    EXPECT_EQ(music->GetLoopPosition(), 120u);
    EXPECT_EQ(music->GetStatus(), 0);
    using M = MediaStream;
    ExpectKnobs(*music, {{"volume", &M::SetVolume, &M::GetVolume, 70},
                         {"pan", &M::SetPan, &M::GetPan, -40},
                         {"speed", &M::SetSpeed, &M::GetSpeed, 150}});
    music->SetSpeed(100);
    music->Play();
    EXPECT_EQ(music->GetStatus(), 1);
    Sleep(300);
    music->Pause();
    EXPECT_EQ(music->GetStatus(), 2);
    const uint32_t at = music->GetPosition();
    EXPECT_GT(at, 0u);
    EXPECT_LT(at, 1500u);
    Sleep(150);
    EXPECT_EQ(music->GetPosition(), at) << "paused";
    reader->TakeCalls();
    music->SetPosition(1300);
    EXPECT_NE(reader->TakeCalls().find("SetPositionMs:1300"), std::string::npos);
    EXPECT_GE(music->GetPosition(), 1300u);
    music->Play();
    EXPECT_TRUE(kyrtest::WaitUntil([&] { return music->GetStatus() == 3; }, 10000))
        << "it does not loop: it ends";
    music->Stop();
    EXPECT_EQ(music->GetStatus(), 0);
    EXPECT_TRUE(kyrtest::WaitUntil([&] { return music->GetPosition() == 0; }, 10000));
    music->Close();
    EXPECT_EQ(music->GetStatus(), 4);
    EXPECT_NE(reader->TakeCalls().find("Close"), std::string::npos);
    EXPECT_EQ(tone->GetRefCount(), 1);
    EXPECT_EQ(reader->GetRefCount(), 2) << "kept until the media stream opens again or goes";
    EXPECT_EQ(Drop(music.release()), 0);
    EXPECT_EQ(reader->GetRefCount(), 1);
}

// ---------------------------------------------------------------------------------------
// Video: both kinds play a movie of 2 s (20 frames of 8 x 6) from the game's stream. Their
// controls sit at different slots: one check runs them on either, through its own table.

// Wine's VMR-9 keeps no frame rate: a window's movie reports 0 while it plays.
template <class V>
void ExpectVideoControls(V& v, bool framesCounted) {
    EXPECT_EQ(v.GetLength(), 2000u);
    EXPECT_TRUE(v.IsLoop());
    EXPECT_EQ(v.GetLoopStart(), 150u);
    EXPECT_EQ(v.GetState(), 0);
    EXPECT_EQ(v.GetRate(), 100);
    ExpectKnobs(v, {{"volume", &V::SetVolume, &V::GetVolume, 70},
                    {"balance", &V::SetBalance, &V::GetBalance, -30}});
    v.SetPosition(1200);
    EXPECT_EQ(v.GetPosition(), 1200u);
    v.Play();
    EXPECT_EQ(v.GetState(), 1);
    if (framesCounted) {
        EXPECT_TRUE(kyrtest::WaitUntil([&] { return v.GetFrameRate() > 0; }, 30000));
        EXPECT_LE(v.GetFrameRate(), 30);
    } else {
        Sleep(200);
        EXPECT_EQ(v.GetFrameRate(), 0) << "while GetState says 1";
    }
    v.Pause();
    EXPECT_EQ(v.GetState(), 3);
    const uint32_t at = v.GetPosition();
    EXPECT_GE(at, 1200u);
    Sleep(100);
    EXPECT_EQ(v.GetPosition(), at) << "paused";
    v.Stop();
    EXPECT_EQ(v.GetState(), 0);
    EXPECT_EQ(v.GetPosition(), 0u);
    // At half the rate the movie's clock runs at half the wall clock's pace.
    v.SetRate(50);
    const DWORD from = GetTickCount();
    v.Play();
    Sleep(600);
    const uint32_t played = v.GetPosition(), wall = GetTickCount() - from;
    EXPECT_GT(played, 0u);
    EXPECT_LT(played, wall * 3 / 4) << "after " << wall << " ms";
    v.Stop();
    v.SetRate(100);
    v.SetLoopStart(100000);
    EXPECT_EQ(v.GetLoopStart(), 2000u) << "at most the length";
    v.SetPosition(1800);
    v.Play();
    EXPECT_TRUE(kyrtest::WaitUntil([&] { return v.GetState() == 2; }, 30000))
        << "a loop start at the length ends the movie";
    v.Play();
    EXPECT_EQ(v.GetState(), 2) << "until Stop";
    v.Stop();
    EXPECT_EQ(v.GetState(), 0);
    v.Close();
    EXPECT_EQ(v.GetState(), 4);
    EXPECT_EQ(v.GetLength(), 0u);
}

class Movies : public Graphics {
protected:
    Apartment apartment_;
    kyrtest::ConverterStandIn converter_;  // Wine has no colour space converter
    const kyrtest::AviFixture avi_ = kyrtest::MakeAvi(8, 6, 20);
    Ref<GameStream> movie_{new GameStream(avi_.file)};
};

TEST_F(Movies, IntoATexture) {
    ASSERT_TRUE(converter_.Ok());
    Ref<VideoTexture> v = Checked(Object<VideoTexture>(kIdVideoTexture));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->GetState(), 4);
    EXPECT_EQ(v->GetTexture(), nullptr);
    ASSERT_TRUE(v->Open(movie_.get(), "AVI", true, 150, nullptr));
    EXPECT_EQ(movie_->GetRefCount(), 2) << "held while open";
    EXPECT_GT(movie_->Count("GetSize"), 0);
    Texture* frames = v->GetTexture();
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->GetWidth() * 1000 + frames->GetHeight(), 8u * 1000 + 6);
    v->Play();
    EXPECT_TRUE(kyrtest::WaitUntil([&] { return v->GetPosition() >= 300; }, 30000));
    v->Pause();
    // Some frame of the movie is in the texture: its top-left pixel is the last row's first.
    std::vector<uint32_t> firstPixels;
    for (const std::vector<uint8_t>& f : avi_.frames) {
        const uint8_t* p = &f[5 * 24];
        firstPixels.push_back(0xFF000000u | p[2] << 16 | p[1] << 8 | p[0]);
    }
    const uint32_t shown = FirstTexel(*v->GetTexture());
    EXPECT_NE(std::find(firstPixels.begin(), firstPixels.end(), shown), firstPixels.end())
        << std::hex << shown;
    v->Stop();
    ExpectVideoControls(*v, true);
    EXPECT_EQ(v->GetTexture(), nullptr);
    EXPECT_EQ(movie_->GetRefCount(), 1) << "given back at Close";
    EXPECT_GT(movie_->Count("Read"), 0);
}

TEST_F(Movies, IntoAWindow) {
    ASSERT_TRUE(converter_.Ok());
    Ref<Video> v = Checked(Object<Video>(kIdVideo));
    ASSERT_TRUE(v);
    EXPECT_FALSE(v->Open(movie_.get(), "wmv", false, 0, nullptr, window_.get(), nullptr));
    v->SetLoopStart(10);  // closed: does nothing
    EXPECT_EQ(v->GetState(), 4);
    EXPECT_EQ(v->GetLoopStart(), 0u);
    const RECT rect = {10, 10, 90, 70};
    ASSERT_TRUE(v->Open(movie_.get(), "avi", true, 150, nullptr, window_.get(), &rect));
    EXPECT_EQ(movie_->GetRefCount(), 2) << "held while open";
    ExpectVideoControls(*v, false);
    EXPECT_EQ(movie_->GetRefCount(), 1) << "given back at Close";
}

}  // namespace

// The program's own entry point. A game has no box hook: the boxes the engine shows are real
// ones, closed here as they come up (and noted for the section that expects one). Wine's D3DX
// compiles no technique source, so the effect compiler stand-in is loaded, from its folder
// beside this program, before anything loads D3DX.
namespace {

HHOOK boxHook = nullptr;

LRESULT CALLBACK CloseEachBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        char name[16] = {}, caption[256] = {}, text[1024] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, "#32770") == 0) {
            GetWindowTextA(window, caption, sizeof caption);
            GetDlgItemTextA(window, 0xFFFF, text, sizeof text);  // a message box's text
            shownBoxes.push_back({caption, text});
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

bool LoadEffectCompilerStandIn() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (length == 0 || length >= MAX_PATH || !slash || GetModuleHandleA("d3dx9_37.dll"))
        return false;
    std::strcpy(slash + 1, "contract-standins\\d3dcompiler_47.dll");
    return LoadLibraryA(path) != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    boxHook = SetWindowsHookExA(WH_CBT, &CloseEachBox, nullptr, GetCurrentThreadId());
    if (!boxHook || !LoadEffectCompilerStandIn()) {
        std::fprintf(stderr, "contract: no box hook, or no effect compiler stand-in\n");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    UnhookWindowsHookEx(boxHook);
    return result;
}
