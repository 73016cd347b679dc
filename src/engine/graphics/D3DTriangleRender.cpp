#include "engine/graphics/D3DTriangleRender.h"

#include <new>
#include <stdexcept>

#include "engine/core/SineTable.h"
#include "engine/graphics/KYRD3D.h"

namespace KYR {

// AddTriangle turns its corners through the sine table: it is filled before the first batch.
CD3DTriangleRender::CD3DTriangleRender(CKYRD3D* device) : settings_(device) { FillSineTable(); }

void CD3DTriangleRender::AddTriangle(const TriangleDesc* triangle, float pivotX, float pivotY,
                                     float angleX, float angleY, float angleZ,
                                     uint32_t depthBias) {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    if (!triangle) return;
    RenderVertex v[3];
    WriteTriangleVertices(*triangle, pivotX, pivotY, angleX, angleY, angleZ, depthBias,
                          settings_.Scale(), v);
    // A list that cannot grow in a 32-bit process loses this triangle, not the frame.
    try {
        vertices_.insert(vertices_.end(), v, v + 3);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

void CD3DTriangleRender::Draw() {
    CKYRD3D* d3d = settings_.Device();
    KYRAutoLock lock(d3d->GetDeviceLock());
    IDirect3DDevice9* device = d3d->GetDeviceTemp();
    if (!device) return;  // the triangles wait for a device
    IDirect3DTexture9* texture = settings_.DrawableTexture();
    if (texture && !vertices_.empty()) {
        settings_.Apply();
        device->SetTexture(0, texture);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(vertices_.size() / 3),
                                vertices_.data(), sizeof(RenderVertex));
        // Unbound again: the device's reference would keep the texture through a reset.
        device->SetTexture(0, nullptr);
    }
    // Without a drawable texture the frame's triangles are dropped all the same, so the list
    // cannot grow without bound while a texture is lost.
    vertices_.clear();
}

}  // namespace KYR
