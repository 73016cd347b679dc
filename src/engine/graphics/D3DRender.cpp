#include "engine/graphics/D3DRender.h"

#include <new>
#include <stdexcept>

#include "engine/core/SineTable.h"
#include "engine/graphics/KYRD3D.h"

namespace KYR {

// AddQuad turns its corners through the sine table: it is filled before the first batch.
CD3DRender::CD3DRender(CKYRD3D* device) : settings_(device) { FillSineTable(); }

bool CD3DRender::SetTexture(ID3DTexture* texture) {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    textureReady_ = settings_.SetTexture(texture);
    return textureReady_;
}

bool CD3DRender::Reserve(uint32_t quads) {
    CKYRD3D* d3d = settings_.Device();
    KYRAutoLock lock(d3d->GetDeviceLock());
    if (quads == 0 || quads > MaxQuadCount(d3d->GetMaxPrimitiveCount(), d3d->GetMaxVertexIndex()))
        return false;
    // A device's limits can allow millions of quads, hundreds of megabytes in a 32-bit
    // process: the new arrays are made aside, and a refusal leaves the batch as it was.
    const IndexFormat format = ChooseIndexFormat(d3d->GetMaxVertexIndex());
    std::vector<RenderVertex> vertices;
    std::vector<uint16_t> indices16;
    std::vector<uint32_t> indices32;
    try {
        vertices.resize(static_cast<size_t>(quads) * 4);
        if (format == IndexFormat::k16) {
            indices16.resize(static_cast<size_t>(quads) * 6);
            FillQuadIndices(indices16.data(), quads);
        } else {
            indices32.resize(static_cast<size_t>(quads) * 6);
            FillQuadIndices(indices32.data(), quads);
        }
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    vertices_.swap(vertices);
    indices16_.swap(indices16);
    indices32_.swap(indices32);
    if (format == IndexFormat::k16) {
        indexData_ = indices16_.data();
        indexFormat_ = D3DFMT_INDEX16;
    } else {
        indexData_ = indices32_.data();
        indexFormat_ = D3DFMT_INDEX32;
    }
    capacity_ = quads * 2;
    used_ = 0;
    reserved_ = true;
    return true;
}

void CD3DRender::AddQuad(const QuadDesc* quad, float angleX, float angleY, float angleZ,
                         float /*unused*/) {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    if (!quad || !textureReady_ || !reserved_ || used_ >= capacity_) return;
    WriteQuadVertices(*quad, angleX, angleY, angleZ, settings_.Scale(),
                      &vertices_[static_cast<size_t>(used_ / 2) * 4]);
    used_ += 2;
}

uint32_t CD3DRender::RemoveLastQuad() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    if (used_ != 0) used_ -= 2;
    return used_;
}

void CD3DRender::ClearQuads() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    used_ = 0;
}

void CD3DRender::Draw() {
    CKYRD3D* d3d = settings_.Device();
    KYRAutoLock lock(d3d->GetDeviceLock());
    IDirect3DTexture9* texture = settings_.DrawableTexture();
    if (!textureReady_ || !texture || !reserved_ || used_ == 0) return;
    IDirect3DDevice9* device = d3d->GetDeviceTemp();
    if (!device) return;  // the quads wait for a device
    settings_.Apply();
    device->SetTexture(0, texture);
    device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, used_ * 2, used_, indexData_,
                                   indexFormat_, vertices_.data(), sizeof(RenderVertex));
    // The device holds a reference to a bound texture; left bound, a default-pool texture
    // would outlive its owner's release at a device loss and make Reset fail.
    device->SetTexture(0, nullptr);
    used_ = 0;
}

}  // namespace KYR
