// The DirectX functions the engine calls, bound on first use (see LazyDll.h). Each behaves
// like the API function; when its DLL cannot be loaded it fails the way the API reports
// failure: Direct3DCreate9 returns null, the others return kModuleMissing.
#pragma once

#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>
#include <ddraw.h>
#include <dinput.h>
#include <dsound.h>

namespace KYR {
namespace dx {

IDirect3D9* Direct3DCreate9(UINT sdkVersion);
HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, void** out,
                           IUnknown* outer);
HRESULT DirectDrawCreateEx(GUID* driver, void** out, REFIID iid, IUnknown* outer);
HRESULT DirectSoundCreate8(const GUID* device, IDirectSound8** out, IUnknown* outer);
HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* source, UINT sourceLength,
                         const D3DXMACRO* defines, ID3DXInclude* include, DWORD flags,
                         ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** compilationErrors);

}  // namespace dx
}  // namespace KYR
