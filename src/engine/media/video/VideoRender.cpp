#include "engine/media/video/VideoRender.h"

#include <dshow.h>

#include <cstring>

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

// Leaves a lock entered by EnterUnlessAborted.
class Leaver {
public:
    explicit Leaver(CCriticalSection* lock) : lock_(lock) {}
    ~Leaver() { lock_->Leave(); }
    Leaver(const Leaver&) = delete;
    Leaver& operator=(const Leaver&) = delete;

private:
    CCriticalSection* lock_;
};

}  // namespace

CVideoRender::CVideoRender(CKYRD3D* device)
    : CBaseVideoRenderer(L"VideoRender", CLSID_KYRVideoRender),
      device_(RefPtr<CKYRD3D>::AddRefOf(device)) {}

CVideoRender::~CVideoRender() = default;

bool CVideoRender::EnterDeviceLock() {
    CCriticalSection* lock = device_->GetDeviceLock();
    if (InReceive()) return EnterUnlessAborted(lock);
    lock->Enter();
    return true;
}

HRESULT CVideoRender::CheckMediaType(const CMediaType* mt) {
    {
        if (!EnterDeviceLock()) return VFW_E_WRONG_STATE;
        Leaver leave(device_->GetDeviceLock());
        if (!device_->GetDeviceTemp()) return E_POINTER;
    }
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

    // A type that arrives with a sample comes on the streaming thread, which must not wait
    // behind a scene when the graph is being stopped. Making the texture, creating it and
    // letting it go again each take the device lock, so the lock is entered (or given up)
    // once, here, and everything below only enters it again.
    if (!EnterDeviceLock()) return VFW_E_WRONG_STATE;
    Leaver leave(device_->GetDeviceLock());
    RefPtr<ID3DTexture> texture(static_cast<ID3DTexture*>(device_->CreateObject(kIdD3DTexture)));
    if (!texture || !texture->Create(layout.width, layout.height, true, false)) return E_POINTER;
    std::memcpy(videoInfo_, mt->pbFormat, kVideoInfoHeaderSize);
    std::memcpy(palette_, palette, sizeof(palette_));
    layout_ = layout;
    texture_ = std::move(texture);  // the old texture goes here
    return S_OK;
}

HRESULT CVideoRender::DoRenderSample(IMediaSample* sample) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const LONG length = sample->GetActualDataLength();
    if (length < 0 || static_cast<size_t>(length) < VideoFrameBytes(layout_)) return E_FAIL;
    if (!EnterDeviceLock()) return E_ABORT;
    Leaver leave(device_->GetDeviceLock());
    D3DLOCKED_RECT rect = {};
    if (!texture_ || !texture_->Lock(&rect, true)) return E_UNEXPECTED;
    const bool converted = ConvertVideoFrame(
        layout_, palette_, data, static_cast<size_t>(length), static_cast<uint8_t*>(rect.pBits),
        static_cast<size_t>(rect.Pitch), texture_->GetTextureWidth(), texture_->GetTextureHeight());
    texture_->Unlock();
    return converted ? S_OK : E_FAIL;
}

}  // namespace KYR
