// CAsyncIo: the stream source filter's request engine. Queued reads go to one worker
// thread, which starts with the first request and lives until the engine is destroyed;
// synchronous reads run on the caller's thread. The two meet only at the stream's lock.
//
// Flush protocol: BeginFlush refuses new requests, moves every queued one to the done list
// unchanged (its result still VFW_E_TIMEOUT, so the puller gets its sample back and sees it
// was not read), waits for the reads in progress to finish and wakes every waiter; while
// flushing, WaitForNext hands out what is done and then answers VFW_E_WRONG_STATE.
// EndFlush accepts requests again.
#pragma once

#include <windows.h>

#include "engine/core/CriticalSection.h"
#include "engine/core/ScopedHandle.h"
#include "engine/media/dshow/AsyncStream.h"

namespace KYR {

class CAsyncIo;

// One read: where, how much, into which buffer, for which sample and cookie.
class CAsyncRequest {
public:
    CAsyncRequest(CAsyncIo* io, CAsyncStream* stream, LONGLONG position, LONG length,
                  BOOL aligned, BYTE* buffer, void* context, DWORD_PTR user)
        : io_(io), stream_(stream), position_(position), aligned_(aligned), length_(length),
          buffer_(buffer), context_(context), user_(user) {}

    // Carries the read out under the stream's lock and records the result; on success the
    // length becomes what was actually read.
    HRESULT Complete();

    HRESULT Result() const { return result_; }
    CAsyncRequest* next = nullptr;  // link in the engine's work or done list
    LONGLONG Position() const { return position_; }
    LONG Length() const { return length_; }
    void* Context() const { return context_; }
    DWORD_PTR User() const { return user_; }

private:
    CAsyncIo* const io_;
    CAsyncStream* const stream_;
    const LONGLONG position_;
    const BOOL aligned_;
    LONG length_;
    BYTE* const buffer_;
    void* const context_;  // the IMediaSample being filled, borrowed from the puller
    const DWORD_PTR user_;
    HRESULT result_ = VFW_E_TIMEOUT;  // until carried out
};

// A first-in, first-out list threaded through the requests themselves, so filing a request
// never allocates and cannot fail halfway through a flush.
class AsyncRequestList {
public:
    bool Empty() const { return head_ == nullptr; }
    void PushBack(CAsyncRequest* r);
    CAsyncRequest* PopFront();  // null when empty
    // Removes r when it is the last entry (undoing the latest PushBack).
    void PopBack(CAsyncRequest* r);

private:
    CAsyncRequest* head_ = nullptr;
    CAsyncRequest* tail_ = nullptr;
};

class CAsyncIo {
public:
    explicit CAsyncIo(CAsyncStream* stream);
    virtual ~CAsyncIo();
    CAsyncIo(const CAsyncIo&) = delete;
    CAsyncIo& operator=(const CAsyncIo&) = delete;

    // False when the engine's events could not be made; nothing else works then.
    bool IsValid() const;

    // Queues a read. VFW_E_BADALIGN for misaligned position, length or buffer,
    // VFW_E_WRONG_STATE while flushing, E_OUTOFMEMORY, or the worker's start failure; on
    // any failure nothing stays queued and context is the caller's again.
    HRESULT Request(LONGLONG position, LONG length, BOOL aligned, BYTE* buffer, void* context,
                    DWORD_PTR user);
    // The oldest finished read. *length is the bytes read; the context and cookie come back
    // whatever the result. VFW_E_TIMEOUT when none finished in time, VFW_E_WRONG_STATE
    // when flushing and nothing is left.
    HRESULT WaitForNext(DWORD timeoutMs, void** context, DWORD_PTR* user, LONG* length);
    // Reads on the calling thread. The aligned form checks the alignment as Request does.
    HRESULT SyncReadAligned(LONGLONG position, LONG length, BYTE* buffer, LONG* read,
                            void* context);
    HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer, LONG* read);
    HRESULT Length(LONGLONG* total, LONGLONG* available);
    LONG Alignment();
    bool IsAligned(LONGLONG value);

    HRESULT BeginFlush();
    HRESULT EndFlush();

protected:
    // Starts the worker thread; virtual so a test can make it fail. Called under the list
    // lock; returns an HRESULT in the Win32 facility on failure.
    virtual HRESULT StartWorker();

private:
    static DWORD WINAPI WorkerEntry(void* self);
    void WorkerLoop();
    void ProcessRequests();
    CAsyncRequest* TakeDoneItem();
    void PutDoneItem(CAsyncRequest* request);

    CAsyncStream* const stream_;
    CCriticalSection listLock_;
    bool flushing_ = false;
    bool waiting_ = false;
    AsyncRequestList work_;  // owned
    AsyncRequestList done_;  // owned
    LONG itemsOut_ = 0;
    ScopedHandle workEvent_;     // manual: work is queued
    ScopedHandle doneEvent_;     // manual: done items waiting, or a flush wakes everyone
    // Manual: the last read in progress ended during a flush. Every flusher waits on it (the
    // graph's thread and a seeking thread may flush one reader at once); it is reset under
    // the list lock when a flush starts waiting with reads in progress.
    ScopedHandle allDoneEvent_;
    ScopedHandle stopEvent_;     // manual: the worker ends
    ScopedHandle thread_;
};

}  // namespace KYR
