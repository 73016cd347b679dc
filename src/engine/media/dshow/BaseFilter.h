// CBaseFilter: IBaseFilter for the engine's filters. It keeps the state with pin activation
// on each change, the sync source, the graph and its event sink, and the filter's name;
// a concrete filter supplies its pins.
#pragma once

#include <windows.h>

#include <strmif.h>

#include <string>

#include "engine/core/CriticalSection.h"
#include "engine/core/RefPtr.h"
#include "engine/media/dshow/ComBase.h"

namespace KYR {

class CBasePin;

class CBaseFilter : public IBaseFilter {
public:
    // lock is the filter's lock, shared with its pins; it belongs to the concrete filter
    // and must outlive this object.
    CBaseFilter(const wchar_t* name, CCriticalSection* lock, const CLSID& clsid);
    virtual ~CBaseFilter();
    CBaseFilter(const CBaseFilter&) = delete;
    CBaseFilter& operator=(const CBaseFilter&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return refs_.Increment(); }
    STDMETHODIMP_(ULONG) Release() override;

    // IPersist
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    // IMediaFilter
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** pins) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;

    // The pins, by index; null past the end. Borrowed: the filter owns them.
    virtual int GetPinCount() = 0;
    virtual CBasePin* GetPin(int index) = 0;

    // Changes whenever the set of pins changes, so pin enumerators notice.
    LONG GetPinVersion() const { return pinVersion_; }
    void IncrementPinVersion() { InterlockedIncrement(&pinVersion_); }

    // Sends an event to the graph's sink; E_NOTIMPL outside a graph.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

    FILTER_STATE StateUnlocked() const { return state_; }
    bool IsStopped() const { return state_ == State_Stopped; }
    CCriticalSection* FilterLock() const { return lock_; }
    // Borrowed: the graph holds the filter, not the other way round.
    IFilterGraph* GraphTemp() const { return graph_; }
    IReferenceClock* ClockTemp() const { return clock_.Get(); }
    REFERENCE_TIME StreamStart() const { return start_; }

protected:
    // Answers the base interfaces (IUnknown, IPersist, IMediaFilter, IBaseFilter). A filter
    // with more interfaces answers its own first and then calls this.
    virtual HRESULT QueryFilterInterface(REFIID riid, void** ppv);

private:
    ComRefCount refs_;
    CCriticalSection* const lock_;
    const CLSID clsid_;
    std::wstring name_;
    FILTER_STATE state_ = State_Stopped;
    REFERENCE_TIME start_ = 0;
    RefPtr<IReferenceClock> clock_;
    // Neither is counted: the graph owns its filters, and a reference back would keep both
    // alive for ever. The graph calls JoinFilterGraph(null) before it lets go.
    IFilterGraph* graph_ = nullptr;
    IMediaEventSink* sink_ = nullptr;
    volatile LONG pinVersion_ = 1;
};

}  // namespace KYR
