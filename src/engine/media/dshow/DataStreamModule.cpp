#include "engine/media/dshow/DataStreamModule.h"

#include <cstdint>

namespace KYR {

HRESULT CDataStreamModule::SeekTo(LONGLONG position) {
    if (!stream_) return E_FAIL;
    // The engine's streams address 32 bits; a position outside that would otherwise wrap to
    // an unrelated place and read the wrong bytes without any error.
    if (position < 0 || position > static_cast<LONGLONG>(UINT32_MAX)) return E_INVALIDARG;
    KYRAutoLock hold(&lock_);
    stream_->Seek(static_cast<int32_t>(static_cast<uint32_t>(position)), kSeekBegin);
    return S_OK;
}

HRESULT CDataStreamModule::ReadBytes(BYTE* buffer, LONG length, BOOL, LONG* read) {
    if (read) *read = 0;
    if (!stream_) return E_FAIL;
    if (length < 0) return E_INVALIDARG;
    // The stream counts whole elements, and an element of zero bytes is never counted:
    // nothing asked is nothing missing.
    if (length == 0) return S_OK;
    if (!buffer) return E_POINTER;
    KYRAutoLock hold(&lock_);
    if (stream_->Read(buffer, static_cast<uint32_t>(length), 1) != 1) return E_FAIL;
    if (read) *read = length;
    return S_OK;
}

LONGLONG CDataStreamModule::GetTotalSize(LONGLONG* available) {
    LONGLONG total = 0;
    if (stream_) {
        KYRAutoLock hold(&lock_);
        total = stream_->GetSize();
    }
    if (available) *available = total;
    return total;
}

}  // namespace KYR
