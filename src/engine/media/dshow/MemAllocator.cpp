#include "engine/media/dshow/MemAllocator.h"

#include <algorithm>
#include <new>

namespace KYR {
namespace {

// A bound well below the 2 GiB a 32-bit process can address at best: sizes come from
// other filters and must not wrap.
constexpr LONGLONG kMaxAllocatorBytes = 256LL * 1024 * 1024;

bool IsPowerOfTwo(LONG v) { return v > 0 && (v & (v - 1)) == 0; }

}  // namespace

CMemAllocator::CMemAllocator() : freeEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CMemAllocator::~CMemAllocator() {
    KYRAutoLock hold(&lock_);
    FreeMemoryLocked();
}

HRESULT CMemAllocator::Create(IMemAllocator** allocator) {
    if (!allocator) return E_POINTER;
    *allocator = nullptr;
    auto* made = new (std::nothrow) CMemAllocator();
    if (!made) return E_OUTOFMEMORY;
    if (!made->freeEvent_.Valid()) {
        delete made;
        return E_OUTOFMEMORY;
    }
    return made->QueryInterface(IID_IMemAllocator, reinterpret_cast<void**>(allocator));
}

const ComInterfaceEntry* CMemAllocator::QueryTable() {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY_VIA(CMemAllocator, IUnknown, IMemAllocator),
        KYR_COM_ENTRY(CMemAllocator, IMemAllocator),
        KYR_COM_END,
    };
    return table;
}

STDMETHODIMP CMemAllocator::SetProperties(ALLOCATOR_PROPERTIES* request,
                                          ALLOCATOR_PROPERTIES* actual) {
    if (!request || !actual) return E_POINTER;
    KYRAutoLock hold(&lock_);
    if (committed_) return VFW_E_ALREADY_COMMITTED;
    if (free_.size() != samples_.size()) return VFW_E_BUFFERS_OUTSTANDING;
    if (!IsPowerOfTwo(request->cbAlign)) return VFW_E_BADALIGN;
    if (request->cBuffers <= 0 || request->cbBuffer <= 0 || request->cbPrefix < 0)
        return E_INVALIDARG;
    // Each sample starts on the alignment, prefix included.
    const LONGLONG slot = (static_cast<LONGLONG>(request->cbBuffer) + request->cbPrefix +
                           request->cbAlign - 1) / request->cbAlign * request->cbAlign;
    if (slot * request->cBuffers + request->cbAlign > kMaxAllocatorBytes) return E_OUTOFMEMORY;
    props_ = *request;
    propertiesSet_ = true;
    *actual = props_;
    return S_OK;
}

STDMETHODIMP CMemAllocator::GetProperties(ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    KYRAutoLock hold(&lock_);
    *props = props_;
    return S_OK;
}

STDMETHODIMP CMemAllocator::Commit() {
    KYRAutoLock hold(&lock_);
    if (committed_) return S_OK;
    if (!propertiesSet_) return VFW_E_SIZENOTSET;
    // Samples still out from before a Decommit keep their memory: committing again reuses
    // it, since the properties cannot have changed while they were out.
    if (samples_.empty()) {
        const LONGLONG slot = (static_cast<LONGLONG>(props_.cbBuffer) + props_.cbPrefix +
                               props_.cbAlign - 1) / props_.cbAlign * props_.cbAlign;
        const size_t total = static_cast<size_t>(slot * props_.cBuffers + props_.cbAlign);
        memory_.reset(new (std::nothrow) BYTE[total]);
        if (!memory_) return E_OUTOFMEMORY;
        const auto base = reinterpret_cast<std::uintptr_t>(memory_.get());
        const std::uintptr_t align = static_cast<std::uintptr_t>(props_.cbAlign);
        BYTE* first = memory_.get() + ((align - base % align) % align);
        try {
            samples_.reserve(props_.cBuffers);
            free_.reserve(props_.cBuffers);
            for (LONG i = 0; i < props_.cBuffers; ++i) {
                BYTE* data = first + slot * i + props_.cbPrefix;
                samples_.push_back(std::make_unique<CMediaSample>(this, data, props_.cbBuffer));
                free_.push_back(samples_.back().get());
            }
        } catch (const std::bad_alloc&) {
            FreeMemoryLocked();
            return E_OUTOFMEMORY;
        }
    }
    committed_ = true;
    if (!free_.empty()) SetEvent(freeEvent_.Get());
    return S_OK;
}

STDMETHODIMP CMemAllocator::Decommit() {
    KYRAutoLock hold(&lock_);
    if (!committed_) return S_OK;
    committed_ = false;
    // Wakes every blocked GetBuffer: each sees the decommit and fails.
    SetEvent(freeEvent_.Get());
    if (free_.size() == samples_.size()) FreeMemoryLocked();
    return S_OK;
}

STDMETHODIMP CMemAllocator::GetBuffer(IMediaSample** sample, REFERENCE_TIME*, REFERENCE_TIME*,
                                      DWORD flags) {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    for (;;) {
        {
            KYRAutoLock hold(&lock_);
            if (!committed_) return VFW_E_NOT_COMMITTED;
            if (!free_.empty()) {
                CMediaSample* taken = free_.back();
                free_.pop_back();
                if (free_.empty()) ResetEvent(freeEvent_.Get());
                taken->TakeFirstReference();
                AddRef();  // the sample's hold on its allocator, returned in ReleaseBuffer
                *sample = taken;
                return S_OK;
            }
            if (flags & AM_GBF_NOWAIT) return VFW_E_TIMEOUT;
            ResetEvent(freeEvent_.Get());
        }
        // Outside the lock: ReleaseBuffer and Decommit need it to set the event.
        WaitForSingleObject(freeEvent_.Get(), INFINITE);
    }
}

STDMETHODIMP CMemAllocator::ReleaseBuffer(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    {
        KYRAutoLock hold(&lock_);
        auto it = std::find_if(samples_.begin(), samples_.end(),
                               [sample](const std::unique_ptr<CMediaSample>& s) {
                                   return static_cast<IMediaSample*>(s.get()) == sample;
                               });
        if (it == samples_.end()) return E_INVALIDARG;
        CMediaSample* ours = it->get();
        if (std::find(free_.begin(), free_.end(), ours) != free_.end()) return E_UNEXPECTED;
        ours->ClearProperties();
        free_.push_back(ours);
        SetEvent(freeEvent_.Get());
        if (!committed_ && free_.size() == samples_.size()) FreeMemoryLocked();
    }
    Release();  // may delete this allocator: the lock holder has already gone
    return S_OK;
}

LONG CMemAllocator::OutstandingCount() {
    KYRAutoLock hold(&lock_);
    return static_cast<LONG>(samples_.size() - free_.size());
}

void CMemAllocator::FreeMemoryLocked() {
    free_.clear();
    samples_.clear();
    memory_.reset();
}

}  // namespace KYR
