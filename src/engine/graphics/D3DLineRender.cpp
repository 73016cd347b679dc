#include "engine/graphics/D3DLineRender.h"

#include <algorithm>

#include "engine/graphics/KYRD3D.h"

namespace KYR {

CD3DLineRender::CD3DLineRender(CKYRD3D* device) : settings_(device) {
    device->RegisterLostable(this);
}

CD3DLineRender::~CD3DLineRender() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    settings_.Device()->UnregisterLostable(this);
    buffer_.Reset();
}

RefPtr<IDirect3DVertexBuffer9> CD3DLineRender::MakeBuffer(uint32_t vertexCount) const {
    RefPtr<IDirect3DVertexBuffer9> buffer;
    IDirect3DDevice9* device = settings_.Device()->GetDeviceTemp();
    if (!device) return buffer;
    if (FAILED(device->CreateVertexBuffer(vertexCount * sizeof(RenderVertex),
                                          D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY,
                                          kRenderVertexFvf, D3DPOOL_DEFAULT, buffer.Put(),
                                          nullptr)))
        buffer.Reset();
    return buffer;
}

bool CD3DLineRender::Reserve(uint32_t points) {
    CKYRD3D* d3d = settings_.Device();
    KYRAutoLock lock(d3d->GetDeviceLock());
    // The byte size must also fit the 32-bit length CreateVertexBuffer takes.
    constexpr uint32_t kMostPoints = 0xFFFFFFFFu / (2 * sizeof(RenderVertex));
    if (points < 2 || points > d3d->GetMaxPrimitiveCount() / 2 || points > kMostPoints)
        return false;
    RefPtr<IDirect3DVertexBuffer9> buffer = MakeBuffer(points * 2);
    if (!buffer) return false;
    buffer_ = std::move(buffer);
    vertexCapacity_ = points * 2;
    return true;
}

void CD3DLineRender::OnLostDevice() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    buffer_.Reset();
}

bool CD3DLineRender::OnResetDevice() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    if (vertexCapacity_ == 0) return true;
    buffer_ = MakeBuffer(vertexCapacity_);
    return static_cast<bool>(buffer_);
}

void CD3DLineRender::Draw() {
    CKYRD3D* d3d = settings_.Device();
    KYRAutoLock lock(d3d->GetDeviceLock());
    IDirect3DDevice9* device = d3d->GetDeviceTemp();
    // Points beyond the capacity are not drawn: the buffer has no room for their vertices.
    const uint32_t points = std::min(points_.GetCount(), vertexCapacity_ / 2);
    if (!device || !buffer_ || points < 2) return;
    IDirect3DTexture9* texture = nullptr;
    if (settings_.GetTexture()) {
        texture = settings_.DrawableTexture();
        if (!texture) return;  // set but lost: nothing to sample
    }
    void* data = nullptr;
    if (FAILED(buffer_->Lock(0, 0, &data, 0)) || !data) return;
    WriteLineStrip(points_.Points(), width_, points, static_cast<RenderVertex*>(data));
    buffer_->Unlock();
    settings_.Apply();
    device->SetStreamSource(0, buffer_.Get(), 0, sizeof(RenderVertex));
    device->SetTexture(0, texture);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, points * 2 - 2);
    // The device holds references to what is bound; the buffer and texture must be free to
    // go at a device loss, or Reset fails.
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetTexture(0, nullptr);
}

void CD3DLineRender::PushFront(const LinePoint* point) {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    if (point) points_.PushFront(*point);
}

void CD3DLineRender::PushBack(const LinePoint* point) {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    if (point) points_.PushBack(*point);
}

void CD3DLineRender::InsertAfter(uint32_t index, const LinePoint* point) {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    if (point) points_.InsertAfter(index, *point);
}

void CD3DLineRender::PopFront() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    points_.PopFront();
}

uint32_t CD3DLineRender::PopBack() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    return points_.PopBack();
}

void CD3DLineRender::RemoveAt(uint32_t index) {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    points_.RemoveAt(index);
}

const LinePoint* CD3DLineRender::GetPoint(uint32_t index) {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    return points_.GetPoint(index);
}

uint32_t CD3DLineRender::GetPointCount() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    return points_.GetCount();
}

void CD3DLineRender::ClearPoints() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    points_.Clear();
}

void CD3DLineRender::SetLineWidth(float width) {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    width_ = width;
}

float CD3DLineRender::GetLineWidth() {
    KYRAutoLock lock(settings_.Device()->GetDeviceLock());
    return width_;
}

}  // namespace KYR
