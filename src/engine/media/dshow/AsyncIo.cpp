#include "engine/media/dshow/AsyncIo.h"

#include <strmif.h>

#include <new>

namespace KYR {

HRESULT CAsyncRequest::Complete() {
    AsyncStreamLock hold(stream_);
    HRESULT hr = stream_->SeekTo(position_);
    if (SUCCEEDED(hr)) {
        LONG got = 0;
        hr = stream_->ReadBytes(buffer_, length_, aligned_, &got);
        // A stream reports a break in its data this way; the sample carries it on.
        if (hr == OLE_S_FIRST) {
            if (context_) static_cast<IMediaSample*>(context_)->SetDiscontinuity(TRUE);
            hr = S_OK;
        }
        if (SUCCEEDED(hr)) length_ = got;
    }
    result_ = hr;
    return hr;
}

void AsyncRequestList::PushBack(CAsyncRequest* r) {
    r->next = nullptr;
    if (tail_)
        tail_->next = r;
    else
        head_ = r;
    tail_ = r;
}

CAsyncRequest* AsyncRequestList::PopFront() {
    CAsyncRequest* r = head_;
    if (!r) return nullptr;
    head_ = r->next;
    if (!head_) tail_ = nullptr;
    r->next = nullptr;
    return r;
}

void AsyncRequestList::PopBack(CAsyncRequest* r) {
    if (tail_ != r) return;
    if (head_ == r) {
        head_ = tail_ = nullptr;
        return;
    }
    CAsyncRequest* p = head_;
    while (p->next != r) p = p->next;
    p->next = nullptr;
    tail_ = p;
}

CAsyncIo::CAsyncIo(CAsyncStream* stream)
    : stream_(stream),
      workEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      doneEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      allDoneEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CAsyncIo::~CAsyncIo() {
    BeginFlush();
    if (thread_.Valid()) {
        SetEvent(stopEvent_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
        thread_.Reset();
    }
    // The samples these requests name belong to the puller; only the requests are ours.
    while (CAsyncRequest* r = done_.PopFront()) delete r;
}

bool CAsyncIo::IsValid() const {
    return workEvent_.Valid() && doneEvent_.Valid() && allDoneEvent_.Valid() &&
           stopEvent_.Valid();
}

LONG CAsyncIo::Alignment() { return stream_->GetAlignment(); }

bool CAsyncIo::IsAligned(LONGLONG value) {
    const LONG align = Alignment();
    return align <= 1 || value % align == 0;
}

HRESULT CAsyncIo::Length(LONGLONG* total, LONGLONG* available) {
    if (!total || !available) return E_POINTER;
    *total = stream_->GetTotalSize(available);
    return S_OK;
}

HRESULT CAsyncIo::StartWorker() {
    DWORD id = 0;
    HANDLE h = CreateThread(nullptr, 0, &CAsyncIo::WorkerEntry, this, 0, &id);
    if (!h) return HRESULT_FROM_WIN32(GetLastError());
    thread_.Reset(h);
    return S_OK;
}

HRESULT CAsyncIo::Request(LONGLONG position, LONG length, BOOL aligned, BYTE* buffer,
                          void* context, DWORD_PTR user) {
    if (!IsValid()) return E_UNEXPECTED;
    if (aligned && (!IsAligned(position) || !IsAligned(length) ||
                    !IsAligned(static_cast<LONGLONG>(reinterpret_cast<UINT_PTR>(buffer)))))
        return VFW_E_BADALIGN;
    auto* request = new (std::nothrow)
        CAsyncRequest(this, stream_, position, length, aligned, buffer, context, user);
    if (!request) return E_OUTOFMEMORY;

    KYRAutoLock hold(&listLock_);
    if (flushing_) {
        delete request;
        return VFW_E_WRONG_STATE;
    }
    work_.PushBack(request);
    SetEvent(workEvent_.Get());
    if (!thread_.Valid()) {
        const HRESULT hr = StartWorker();
        if (FAILED(hr)) {
            // No worker ran, so the request is still the newest entry. It must not stay
            // queued: the caller is told it failed and takes its sample back, and a later
            // worker would otherwise fill and hand out that sample a second time.
            work_.PopBack(request);
            if (work_.Empty()) ResetEvent(workEvent_.Get());
            delete request;
            return hr;
        }
    }
    return S_OK;
}

DWORD WINAPI CAsyncIo::WorkerEntry(void* self) {
    static_cast<CAsyncIo*>(self)->WorkerLoop();
    return 0;
}

void CAsyncIo::WorkerLoop() {
    const HANDLE events[2] = {stopEvent_.Get(), workEvent_.Get()};
    for (;;) {
        const DWORD w = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (w == WAIT_OBJECT_0 + 1) {
            ProcessRequests();
        } else {
            return;  // stop, or a wait that can no longer succeed
        }
    }
}

void CAsyncIo::ProcessRequests() {
    for (;;) {
        CAsyncRequest* request = nullptr;
        {
            KYRAutoLock hold(&listLock_);
            request = work_.PopFront();
            // Reset whenever the list is empty, not only when this take emptied it: a
            // flush may have emptied it, and a set event would keep the worker spinning.
            if (work_.Empty()) ResetEvent(workEvent_.Get());
            if (!request) return;
            ++itemsOut_;
        }
        request->Complete();  // no list lock while reading
        {
            KYRAutoLock hold(&listLock_);
            PutDoneItem(request);
            if (--itemsOut_ == 0 && waiting_) SetEvent(allDoneEvent_.Get());
        }
    }
}

void CAsyncIo::PutDoneItem(CAsyncRequest* request) {
    // Called under the list lock.
    done_.PushBack(request);
    SetEvent(doneEvent_.Get());
}

CAsyncRequest* CAsyncIo::TakeDoneItem() {
    KYRAutoLock hold(&listLock_);
    CAsyncRequest* request = done_.PopFront();
    // While a flush is under way (and not still waiting for reads) the event stays set so
    // every waiter wakes and learns that nothing more will come.
    if (done_.Empty() && !(flushing_ && !waiting_)) ResetEvent(doneEvent_.Get());
    return request;
}

HRESULT CAsyncIo::WaitForNext(DWORD timeoutMs, void** context, DWORD_PTR* user, LONG* length) {
    if (!context || !user || !length) return E_POINTER;
    *context = nullptr;
    *user = 0;
    *length = 0;
    if (!IsValid()) return E_UNEXPECTED;
    for (;;) {
        if (WaitForSingleObject(doneEvent_.Get(), timeoutMs) != WAIT_OBJECT_0)
            return VFW_E_TIMEOUT;
        CAsyncRequest* request = TakeDoneItem();
        if (request) {
            HRESULT hr = request->Result();
            if (hr == S_FALSE) {
                // A short read is fine only when it ended exactly at the end of the stream.
                LONGLONG available = 0;
                const LONGLONG total = stream_->GetTotalSize(&available);
                hr = request->Position() + request->Length() == total ? S_OK : E_FAIL;
            }
            *context = request->Context();
            *user = request->User();
            *length = request->Length();
            delete request;
            return hr;
        }
        {
            KYRAutoLock hold(&listLock_);
            if (flushing_ && !waiting_) return VFW_E_WRONG_STATE;
        }
        // Another waiter took the item this wake was for: wait again.
    }
}

HRESULT CAsyncIo::SyncReadAligned(LONGLONG position, LONG length, BYTE* buffer, LONG* read,
                                  void* context) {
    if (!read) return E_POINTER;
    *read = 0;
    if (!IsAligned(position) || !IsAligned(length) ||
        !IsAligned(static_cast<LONGLONG>(reinterpret_cast<UINT_PTR>(buffer))))
        return VFW_E_BADALIGN;
    CAsyncRequest request(this, stream_, position, length, TRUE, buffer, context, 0);
    const HRESULT hr = request.Complete();
    if (SUCCEEDED(hr)) *read = request.Length();
    return hr;
}

HRESULT CAsyncIo::SyncRead(LONGLONG position, LONG length, BYTE* buffer, LONG* read) {
    if (!read) return E_POINTER;
    *read = 0;
    CAsyncRequest request(this, stream_, position, length, FALSE, buffer, nullptr, 0);
    const HRESULT hr = request.Complete();
    if (SUCCEEDED(hr)) *read = request.Length();
    return hr;
}

HRESULT CAsyncIo::BeginFlush() {
    if (!IsValid()) return E_UNEXPECTED;
    {
        KYRAutoLock hold(&listLock_);
        flushing_ = true;
        while (CAsyncRequest* r = work_.PopFront()) PutDoneItem(r);
        ResetEvent(workEvent_.Get());
        if (itemsOut_ == 0) {
            SetEvent(doneEvent_.Get());
            return S_OK;
        }
        if (!waiting_) ResetEvent(allDoneEvent_.Get());  // set by an earlier flush
        waiting_ = true;
    }
    // Reads in progress finish on the worker, which needs the list lock to file them.
    for (;;) {
        WaitForSingleObject(allDoneEvent_.Get(), INFINITE);
        KYRAutoLock hold(&listLock_);
        if (itemsOut_ == 0) {
            waiting_ = false;
            SetEvent(doneEvent_.Get());
            return S_OK;
        }
    }
}

HRESULT CAsyncIo::EndFlush() {
    if (!IsValid()) return E_UNEXPECTED;
    KYRAutoLock hold(&listLock_);
    flushing_ = false;
    if (done_.Empty())
        ResetEvent(doneEvent_.Get());
    else
        SetEvent(doneEvent_.Get());
    return S_OK;
}

}  // namespace KYR
