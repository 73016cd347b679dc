// How the device is created for each vertex-processing type, decided from the adapter's caps.
// Type 0 is hardware T&L on a pure device, 1 mixed vertex processing, 2 software vertex
// processing; callers retry with the next type when one is refused.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

namespace KYR {

constexpr int32_t kVertexProcessingTypes = 3;

// The behaviour flags for IDirect3D9::CreateDevice, or 0 when the caps fail the type's test
// or the type is not 0, 1 or 2. Every type adds D3DCREATE_MULTITHREADED: other threads may
// draw under the device lock.
DWORD BehaviorFlagsFor(const D3DCAPS9& caps, int32_t type);

// The lowest type whose test the caps pass, or -1 without hardware rasterization.
int32_t BestVertexProcessing(const D3DCAPS9& caps);

}  // namespace KYR
