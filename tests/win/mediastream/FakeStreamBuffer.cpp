#include "FakeStreamBuffer.h"

#include <algorithm>
#include <chrono>

namespace kyrtest {

HRESULT FakeStreamBuffer::Make(IDirectSoundBuffer** out) {
    AddRef();
    // IDirectSoundBuffer8 extends IDirectSoundBuffer's table: the same object serves both.
    *out = reinterpret_cast<IDirectSoundBuffer*>(static_cast<IDirectSoundBuffer8*>(this));
    return S_OK;
}

HRESULT FakeStreamBuffer::QueryInterface(REFIID riid, void** ppv) {
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirectSoundBuffer) ||
        IsEqualGUID(riid, IID_IDirectSoundBuffer8)) {
        AddRef();
        *ppv = static_cast<IDirectSoundBuffer8*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

void FakeStreamBuffer::SetCursor(DWORD position) {
    std::lock_guard<std::mutex> hold(mutex_);
    cursor_ = position;
}

DWORD FakeStreamBuffer::Cursor() {
    std::lock_guard<std::mutex> hold(mutex_);
    return cursor_;
}

bool FakeStreamBuffer::Playing() {
    std::lock_guard<std::mutex> hold(mutex_);
    return playing_;
}

bool FakeStreamBuffer::Looping() {
    std::lock_guard<std::mutex> hold(mutex_);
    return looping_;
}

std::vector<uint8_t> FakeStreamBuffer::Bytes(DWORD offset, DWORD size) {
    std::lock_guard<std::mutex> hold(mutex_);
    return std::vector<uint8_t>(bytes_.begin() + offset, bytes_.begin() + offset + size);
}

size_t FakeStreamBuffer::FillCount() {
    std::lock_guard<std::mutex> hold(mutex_);
    return fills_.size();
}

bool FakeStreamBuffer::WaitForFill(size_t after, DWORD offset, DWORD timeoutMs) {
    std::unique_lock<std::mutex> hold(mutex_);
    return filled_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] {
        return std::any_of(fills_.begin() + std::min(after, fills_.size()), fills_.end(),
                           [&](const Fill& f) { return f.offset == offset; });
    });
}

HRESULT FakeStreamBuffer::GetCurrentPosition(LPDWORD play, LPDWORD write) {
    std::lock_guard<std::mutex> hold(mutex_);
    if (play) *play = cursor_;
    if (write) *write = cursor_;
    return S_OK;
}

HRESULT FakeStreamBuffer::GetStatus(LPDWORD status) {
    std::lock_guard<std::mutex> hold(mutex_);
    *status = (playing_ ? DSBSTATUS_PLAYING : 0) | (looping_ ? DSBSTATUS_LOOPING : 0);
    return S_OK;
}

HRESULT FakeStreamBuffer::Lock(DWORD offset, DWORD size, LPVOID* p1, LPDWORD n1, LPVOID* p2,
                               LPDWORD n2, DWORD flags) {
    std::lock_guard<std::mutex> hold(mutex_);
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        size = static_cast<DWORD>(bytes_.size());
    }
    if (offset >= bytes_.size() || size == 0 || size > bytes_.size()) return DSERR_INVALIDPARAM;
    // Like DirectSound, a region past the end wraps to the start as a second piece.
    const DWORD firstBytes = std::min<DWORD>(size, static_cast<DWORD>(bytes_.size()) - offset);
    *p1 = bytes_.data() + offset;
    *n1 = firstBytes;
    if (p2) *p2 = firstBytes < size ? bytes_.data() : nullptr;
    if (n2) *n2 = size - firstBytes;
    lockedOffset_ = offset;
    return S_OK;
}

HRESULT FakeStreamBuffer::Unlock(LPVOID, DWORD n1, LPVOID, DWORD n2) {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        fills_.push_back({lockedOffset_, n1 + n2});
    }
    filled_.notify_all();
    return S_OK;
}

HRESULT FakeStreamBuffer::Play(DWORD, DWORD, DWORD flags) {
    std::lock_guard<std::mutex> hold(mutex_);
    playing_ = true;
    looping_ = (flags & DSBPLAY_LOOPING) != 0;
    return S_OK;
}

HRESULT FakeStreamBuffer::SetCurrentPosition(DWORD position) {
    std::lock_guard<std::mutex> hold(mutex_);
    cursor_ = position;
    return S_OK;
}

HRESULT FakeStreamBuffer::Stop() {
    std::lock_guard<std::mutex> hold(mutex_);
    playing_ = false;
    return S_OK;
}

}  // namespace kyrtest
