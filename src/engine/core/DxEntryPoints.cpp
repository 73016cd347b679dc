#include "engine/core/DxEntryPoints.h"

#include "engine/core/LazyDll.h"

namespace KYR {
namespace dx {
namespace {

template <class Fn>
Fn Bind(LazyModule& module, const char* exportName) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(module.Proc(exportName)));
}

LazyModule& D3D9() { static LazyModule m("d3d9.dll"); return m; }
LazyModule& DInput8() { static LazyModule m("dinput8.dll"); return m; }
LazyModule& DDraw() { static LazyModule m("ddraw.dll"); return m; }
LazyModule& DSound() { static LazyModule m("dsound.dll"); return m; }
LazyModule& D3DX9() { static LazyModule m("d3dx9_37.dll"); return m; }

}  // namespace

IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
    using Fn = IDirect3D9*(WINAPI*)(UINT);
    static const Fn fn = Bind<Fn>(D3D9(), "Direct3DCreate9");
    return fn ? fn(sdkVersion) : nullptr;
}

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, void** out,
                           IUnknown* outer) {
    using Fn = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, void**, IUnknown*);
    static const Fn fn = Bind<Fn>(DInput8(), "DirectInput8Create");
    if (out) *out = nullptr;
    return fn ? fn(instance, version, iid, out, outer) : kModuleMissing;
}

HRESULT DirectDrawCreateEx(GUID* driver, void** out, REFIID iid, IUnknown* outer) {
    using Fn = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);
    static const Fn fn = Bind<Fn>(DDraw(), "DirectDrawCreateEx");
    if (out) *out = nullptr;
    return fn ? fn(driver, out, iid, outer) : kModuleMissing;
}

HRESULT DirectSoundCreate8(const GUID* device, IDirectSound8** out, IUnknown* outer) {
    using Fn = HRESULT(WINAPI*)(const GUID*, IDirectSound8**, IUnknown*);
    static const Fn fn = Bind<Fn>(DSound(), "DirectSoundCreate8");
    if (out) *out = nullptr;
    return fn ? fn(device, out, outer) : kModuleMissing;
}

HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* source, UINT sourceLength,
                         const D3DXMACRO* defines, ID3DXInclude* include, DWORD flags,
                         ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** compilationErrors) {
    using Fn = HRESULT(WINAPI*)(IDirect3DDevice9*, const void*, UINT, const D3DXMACRO*,
                                ID3DXInclude*, DWORD, ID3DXEffectPool*, ID3DXEffect**,
                                ID3DXBuffer**);
    static const Fn fn = Bind<Fn>(D3DX9(), "D3DXCreateEffect");
    if (effect) *effect = nullptr;
    if (compilationErrors) *compilationErrors = nullptr;
    return fn ? fn(device, source, sourceLength, defines, include, flags, pool, effect,
                   compilationErrors)
              : kModuleMissing;
}

}  // namespace dx
}  // namespace KYR
