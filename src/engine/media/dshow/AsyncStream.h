// CAsyncStream: the random-access byte source behind the stream source filter. Reads are
// done at the current position under the stream's own lock, which the request engine holds
// across a seek and its read so that the worker and synchronous readers cannot interleave.
#pragma once

#include <windows.h>

#include <vfwmsgs.h>

namespace KYR {

class CAsyncStream {
public:
    virtual ~CAsyncStream() = default;
    virtual HRESULT SeekTo(LONGLONG position) = 0;
    // Reads length bytes at the current position into buffer; *read is what arrived.
    virtual HRESULT ReadBytes(BYTE* buffer, LONG length, BOOL aligned, LONG* read) = 0;
    // The total length; *available receives how much of it can be read now.
    virtual LONGLONG GetTotalSize(LONGLONG* available) = 0;
    // Positions, lengths and buffers of aligned reads are multiples of this.
    virtual LONG GetAlignment() = 0;
    virtual void LockStream() = 0;
    virtual void UnlockStream() = 0;
};

// Holds a stream's lock for its own lifetime.
class AsyncStreamLock {
public:
    explicit AsyncStreamLock(CAsyncStream* stream) : stream_(stream) { stream_->LockStream(); }
    ~AsyncStreamLock() { stream_->UnlockStream(); }
    AsyncStreamLock(const AsyncStreamLock&) = delete;
    AsyncStreamLock& operator=(const AsyncStreamLock&) = delete;

private:
    CAsyncStream* stream_;
};

}  // namespace KYR
