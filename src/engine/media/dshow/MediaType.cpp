#include "engine/media/dshow/MediaType.h"

#include <cstring>

namespace KYR {

void FreeMediaType(AM_MEDIA_TYPE& mt) {
    if (mt.pbFormat) CoTaskMemFree(mt.pbFormat);
    mt.pbFormat = nullptr;
    mt.cbFormat = 0;
    // pUnk is unused by convention but is a counted reference when a filter sets it.
    if (mt.pUnk) {
        IUnknown* unk = mt.pUnk;
        mt.pUnk = nullptr;
        unk->Release();
    }
}

void DeleteMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    FreeMediaType(*mt);
    CoTaskMemFree(mt);
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source) {
    if (!target || !source) return E_POINTER;
    if (target == source) return S_OK;
    *target = *source;
    if (source->cbFormat != 0 && source->pbFormat) {
        target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source->cbFormat));
        if (!target->pbFormat) {
            target->cbFormat = 0;
            target->pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(target->pbFormat, source->pbFormat, source->cbFormat);
    } else {
        target->pbFormat = nullptr;
        target->cbFormat = 0;
    }
    if (target->pUnk) target->pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source) {
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!mt) return nullptr;
    if (FAILED(CopyMediaType(mt, source))) {
        CoTaskMemFree(mt);
        return nullptr;
    }
    return mt;
}

CMediaType::CMediaType() : AM_MEDIA_TYPE() {
    // A fresh type carries the defaults a type without samples of fixed size has.
    bFixedSizeSamples = TRUE;
    lSampleSize = 1;
}

CMediaType::CMediaType(const GUID& majorType) : CMediaType() { majortype = majorType; }

CMediaType::CMediaType(const AM_MEDIA_TYPE& source) : AM_MEDIA_TYPE() { Set(source); }

CMediaType::CMediaType(const CMediaType& source) : AM_MEDIA_TYPE() { Set(source); }

CMediaType& CMediaType::operator=(const CMediaType& source) {
    Set(source);
    return *this;
}

CMediaType& CMediaType::operator=(const AM_MEDIA_TYPE& source) {
    Set(source);
    return *this;
}

CMediaType::~CMediaType() { FreeMediaType(*this); }

HRESULT CMediaType::Set(const AM_MEDIA_TYPE& source) {
    if (&source == static_cast<AM_MEDIA_TYPE*>(this)) return S_OK;
    FreeMediaType(*this);
    const HRESULT hr = CopyMediaType(this, &source);
    if (FAILED(hr)) Clear();
    return hr;
}

void CMediaType::Clear() {
    FreeMediaType(*this);
    AM_MEDIA_TYPE& raw = *this;
    raw = AM_MEDIA_TYPE();
}

bool CMediaType::SetFormat(const void* format, ULONG size) {
    BYTE* block = AllocFormatBuffer(size);
    if (size != 0 && !block) return false;
    if (size != 0) std::memcpy(block, format, size);
    return true;
}

BYTE* CMediaType::AllocFormatBuffer(ULONG size) {
    BYTE* block = nullptr;
    if (size != 0) {
        block = static_cast<BYTE*>(CoTaskMemAlloc(size));
        if (!block) return nullptr;
        std::memset(block, 0, size);
    }
    if (pbFormat) CoTaskMemFree(pbFormat);
    pbFormat = block;
    cbFormat = size;
    return block;
}

bool CMediaType::IsPartiallySpecified() const {
    return majortype == GUID_NULL || subtype == GUID_NULL || formattype == GUID_NULL;
}

bool CMediaType::MatchesPartial(const AM_MEDIA_TYPE& other) const {
    if (majortype != GUID_NULL && majortype != other.majortype) return false;
    if (subtype != GUID_NULL && subtype != other.subtype) return false;
    if (formattype != GUID_NULL) {
        if (formattype != other.formattype) return false;
        if (cbFormat != other.cbFormat) return false;
        if (cbFormat != 0 && std::memcmp(pbFormat, other.pbFormat, cbFormat) != 0) return false;
    }
    return true;
}

bool operator==(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    if (a.majortype != b.majortype || a.subtype != b.subtype || a.formattype != b.formattype)
        return false;
    if (a.cbFormat != b.cbFormat) return false;
    return a.cbFormat == 0 || (a.pbFormat && b.pbFormat &&
                               std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0);
}

}  // namespace KYR
