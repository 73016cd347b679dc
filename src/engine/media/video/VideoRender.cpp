#include "engine/media/video/VideoRender.h"

#include <dshow.h>

#include "engine/graphics/GraphicsObjectIds.h"
#include "engine/graphics/KYRD3D.h"

namespace KYR {

const CLSID CLSID_KYRVideoRender = {
    0x8ac88ff2, 0x4c71, 0x4616, {0x83, 0x1e, 0x46, 0x89, 0x58, 0xff, 0x29, 0xf3}};

namespace {

VideoPixelFormat PixelFormatOf(const GUID& subtype) {
    if (IsEqualGUID(subtype, MEDIASUBTYPE_RGB32)) return VideoPixelFormat::kRgb32;
    if (IsEqualGUID(subtype, MEDIASUBTYPE_RGB24)) return VideoPixelFormat::kRgb24;
    if (IsEqualGUID(subtype, MEDIASUBTYPE_RGB8)) return VideoPixelFormat::kRgb8;
    return VideoPixelFormat::kNone;
}

}  // namespace

CVideoRender::CVideoRender() : CBaseVideoRenderer(L"VideoRender", CLSID_KYRVideoRender) {}

CVideoRender::~CVideoRender() = default;

HRESULT CVideoRender::CheckMediaType(const CMediaType* mt) {
    if (!IsEqualGUID(mt->formattype, FORMAT_VideoInfo) ||
        !IsEqualGUID(mt->majortype, MEDIATYPE_Video))
        return VFW_E_TYPE_NOT_ACCEPTED;
    const VideoPixelFormat format = PixelFormatOf(mt->subtype);
    if (format == VideoPixelFormat::kNone ||
        (format == VideoPixelFormat::kRgb32 && !acceptRgb32_))
        return E_INVALIDARG;
    // The format block comes from upstream: one too short for its header is no video type.
    VideoFrameLayout layout;
    uint32_t palette[kMaxPaletteEntries];
    if (!ParseVideoFormat(mt->pbFormat, mt->cbFormat, format, &layout, palette))
        return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CVideoRender::SetMediaType(const CMediaType* mt) {
    const VideoPixelFormat format = PixelFormatOf(mt->subtype);
    if (format == VideoPixelFormat::kNone) return E_INVALIDARG;
    VideoFrameLayout layout;
    uint32_t palette[kMaxPaletteEntries];
    if (!ParseVideoFormat(mt->pbFormat, mt->cbFormat, format, &layout, palette))
        return E_INVALIDARG;
    KYRAutoLock hold(&frameLock_);
    store_.SetFormat(layout, palette);
    return S_OK;
}

HRESULT CVideoRender::DoRenderSample(IMediaSample* sample) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const LONG length = sample->GetActualDataLength();
    if (length < 0) return E_FAIL;
    KYRAutoLock hold(&frameLock_);
    return store_.Store(data, static_cast<size_t>(length)) ? S_OK : E_FAIL;
}

bool CVideoRender::UpdateTexture(CKYRD3D* device, VideoTextureState* state) {
    KYRAutoLock hold(&frameLock_);
    const VideoFrameLayout& layout = store_.Layout();
    if (layout.width == 0) return false;
    if (!state->texture || state->format != store_.FormatCount()) {
        RefPtr<ID3DTexture> made(static_cast<ID3DTexture*>(device->CreateObject(kIdD3DTexture)));
        if (!made || !made->Create(layout.width, layout.height, true, false)) return false;
        state->texture = std::move(made);  // the old texture goes here
        state->format = store_.FormatCount();
        state->frame = ~uint64_t{0};  // whatever the store holds is new to this texture
    }
    if (state->frame == store_.FrameCount()) return true;
    D3DLOCKED_RECT rect = {};
    if (!state->texture->Lock(&rect, true)) return true;  // the last frame stays; next time
    store_.CopyTo(static_cast<uint8_t*>(rect.pBits), static_cast<size_t>(rect.Pitch),
                  state->texture->GetTextureWidth(), state->texture->GetTextureHeight());
    state->texture->Unlock();
    state->frame = store_.FrameCount();
    return true;
}

}  // namespace KYR
