// A stand-in for the effect compiler D3DX calls (d3dcompiler_47.dll), for the contract
// program only. Wine's D3DX hands an effect's source text to D3DCompile with the target
// fx_2_0, and Wine's compiler refuses every technique block, so no effect a game writes can
// be made there. This compiler knows one source, the contract program's, and returns it
// assembled by hand into the binary form D3DX loads; D3DX itself (parameters, techniques,
// passes, the states they set) stays Wine's own. Any other source fails with an error text.
// The contract program loads this library by its path before D3DX is first used, so D3DX's
// imports resolve to it.
#include <windows.h>

#include <d3dcompiler.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <new>
#include <vector>

#include "../EffectSource.h"

namespace {

const char kUnknownSource[] = "(1,1): error X3000: the stand-in compiler knows one source only";

class Blob final : public ID3DBlob {
public:
    explicit Blob(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_ID3D10Blob)) {
            *ppv = static_cast<ID3DBlob*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }
    STDMETHODIMP_(void*) GetBufferPointer() override { return bytes_.data(); }
    STDMETHODIMP_(SIZE_T) GetBufferSize() override { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
    LONG refs_ = 1;
};

// The binary effect: after an 8-byte header (version tag, where the structure starts),
// 32-bit words that refer to each other by byte offsets counted from the end of the header.
class EffectWriter {
public:
    // D3DX's type and class numbers, and the state numbers of its state table.
    enum : uint32_t { kInt = 2, kFloat = 3, kTexture = 5 };
    enum : uint32_t { kScalar = 0, kVector = 1, kObject = 4 };
    enum : uint32_t { kZEnable = 0x00, kFogStart = 0x12, kVsConstantF = 0x94, kTexture0 = 0xA4 };

    uint32_t Here() const { return static_cast<uint32_t>(words_.size() * 4); }
    uint32_t Words(std::initializer_list<uint32_t> words) {
        const uint32_t at = Here();
        words_.insert(words_.end(), words);
        return at;
    }
    uint32_t Floats(std::initializer_list<float> values) {
        const uint32_t at = Here();
        for (float v : values) {
            uint32_t bits = 0;
            std::memcpy(&bits, &v, 4);
            words_.push_back(bits);
        }
        return at;
    }
    // A size-prefixed text with its zero, padded to a whole word.
    uint32_t Text(const char* text) {
        const uint32_t at = Here();
        const uint32_t size = static_cast<uint32_t>(std::strlen(text) + 1);
        words_.push_back(size);
        std::vector<uint32_t> padded((size + 3) / 4, 0);
        std::memcpy(padded.data(), text, size);
        words_.insert(words_.end(), padded.begin(), padded.end());
        return at;
    }
    // A float4 (columns, then rows) or a scalar (rows, then columns) type, or an object type,
    // which has no sizes.
    uint32_t Type(uint32_t type, uint32_t cls, const char* name, uint32_t elements = 0) {
        const uint32_t nameAt = Text(name), semanticAt = Text("");
        if (cls == kObject) return Words({type, cls, nameAt, semanticAt, elements});
        return cls == kVector ? Words({type, cls, nameAt, semanticAt, elements, 4, 1})
                              : Words({type, cls, nameAt, semanticAt, elements, 1, 1});
    }
    std::vector<uint8_t> Finish(uint32_t structureAt) const {
        std::vector<uint8_t> bytes(8 + words_.size() * 4);
        const uint32_t header[2] = {0xFEFF0901, structureAt};  // fx_2_0
        std::memcpy(bytes.data(), header, 8);
        std::memcpy(bytes.data() + 8, words_.data(), words_.size() * 4);
        return bytes;
    }

private:
    std::vector<uint32_t> words_;
};

// kEffectSource, assembled. Pass p1's states take their values from the parameters (the
// resources at the end name them), so a game sees what it set once the pass runs.
std::vector<uint8_t> AssembleKnownSource() {
    using W = EffectWriter;
    W w;
    const uint32_t f = w.Type(W::kFloat, W::kScalar, "f"), v = w.Type(W::kFloat, W::kVector, "v");
    const uint32_t a = w.Type(W::kFloat, W::kVector, "a", 2);
    const uint32_t s = w.Type(W::kTexture, W::kObject, "s");
    const uint32_t intState = w.Type(W::kInt, W::kScalar, "");
    const uint32_t floatState = w.Type(W::kFloat, W::kScalar, "");
    const uint32_t vectorState = w.Type(W::kFloat, W::kVector, "");
    const uint32_t arrayState = w.Type(W::kFloat, W::kVector, "", 2);
    const uint32_t textureState = w.Type(W::kTexture, W::kObject, "");
    const uint32_t half = w.Floats({0.5f}), zeros = w.Floats({0, 0, 0, 0, 0, 0, 0, 0});
    const uint32_t falseValue = w.Words({FALSE});
    const uint32_t object1 = w.Words({1}), object2 = w.Words({2});  // texture object slots
    const uint32_t one = w.Text("one"), two = w.Text("two");
    const uint32_t p = w.Text("p"), p0 = w.Text("p0"), p1 = w.Text("p1");

    const uint32_t structure = w.Words({4, 2, 0, 3});  // parameters, techniques, -, objects
    // A parameter: type, value, flags, annotations. A technique: name, annotations, passes;
    // a pass: name, annotations, states; a state: its number, index, type and value.
    w.Words({f, half, 0, 0, v, zeros, 0, 0, a, zeros, 0, 0, s, object1, 0, 0});
    w.Words({one, 0, 1, p, 0, 1, W::kZEnable, 0, intState, falseValue});
    w.Words({two, 0, 2, p0, 0, 1, W::kZEnable, 0, intState, falseValue});
    w.Words({p1, 0, 4, W::kFogStart, 0, floatState, zeros, W::kVsConstantF, 0, vectorState, zeros,
             W::kVsConstantF, 1, arrayState, zeros, W::kTexture0, 0, textureState, object2});
    w.Words({0, 4});  // no strings; four resources: technique 1, pass 1, state i is <name>
    const char* const names[4] = {"f", "v", "a", "s"};
    for (uint32_t i = 0; i < 4; ++i) {
        w.Words({1, 1, 0, i, 1});  // usage 1: the state reads the named parameter
        w.Text(names[i]);
    }
    return w.Finish(structure);
}

HRESULT MakeBlob(std::vector<uint8_t> bytes, ID3DBlob** out) {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) Blob(std::move(bytes));
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI D3DCompile(
    const void* data, SIZE_T size, const char*, const D3D_SHADER_MACRO*, ID3DInclude*,
    const char*, const char* target, UINT, UINT, ID3DBlob** code, ID3DBlob** errors) {
    if (code) *code = nullptr;
    if (errors) *errors = nullptr;
    const bool known = data && target && std::strcmp(target, "fx_2_0") == 0 &&
                       size == sizeof kEffectSource - 1 &&
                       std::memcmp(data, kEffectSource, size) == 0;
    if (known) return MakeBlob(AssembleKnownSource(), code);
    if (errors) MakeBlob({kUnknownSource, kUnknownSource + sizeof kUnknownSource}, errors);
    return E_FAIL;
}

// D3DX imports these as well; the contract program needs none of them.
extern "C" __declspec(dllexport) HRESULT WINAPI D3DAssemble(const void*, SIZE_T, const char*,
                                                            const D3D_SHADER_MACRO*,
                                                            ID3DInclude*, UINT, ID3DBlob**,
                                                            ID3DBlob**) {
    return E_NOTIMPL;
}
extern "C" __declspec(dllexport) HRESULT WINAPI D3DDisassemble(const void*, SIZE_T, UINT,
                                                               const char*, ID3DBlob**) {
    return E_NOTIMPL;
}
extern "C" __declspec(dllexport) HRESULT WINAPI D3DPreprocess(const void*, SIZE_T, const char*,
                                                              const D3D_SHADER_MACRO*,
                                                              ID3DInclude*, ID3DBlob**,
                                                              ID3DBlob**) {
    return E_NOTIMPL;
}
