// CBasePin: IPin for the engine's pins, both sides of the connection protocol.
//
// Connect (on the pin that starts the connection) checks the peer, proposes media types
// (the peer's first, then its own) and for each one asks the peer to ReceiveConnection and
// then completes the connection itself; every failed step is undone before the next type
// is tried, and BreakConnect runs when no type works. ReceiveConnection is the other side.
// The hooks a concrete pin overrides are virtual below.
#pragma once

#include <windows.h>

#include <strmif.h>

#include <string>

#include "engine/core/CriticalSection.h"
#include "engine/core/RefPtr.h"
#include "engine/media/dshow/ComBase.h"
#include "engine/media/dshow/MediaType.h"

namespace KYR {

class CBaseFilter;

class CBasePin : public IPin {
public:
    // filter owns the pin and counts its references; lock is the filter's lock.
    CBasePin(CBaseFilter* filter, CCriticalSection* lock, const wchar_t* name,
             PIN_DIRECTION direction);
    virtual ~CBasePin();
    CBasePin(const CBasePin&) = delete;
    CBasePin& operator=(const CBasePin&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPin
    STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
    STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // Connection hooks. CheckConnect vets the peer (the base refuses a pin of the same
    // direction); BreakConnect undoes what CheckConnect and CompleteConnect acquired and
    // must cope with being called after a partial connection; CompleteConnect runs once both
    // sides agreed on a type.
    virtual HRESULT CheckConnect(IPin* pin);
    virtual HRESULT BreakConnect();
    virtual HRESULT CompleteConnect(IPin* receivePin);
    // S_OK when the pin accepts the type; any other value refuses it.
    virtual HRESULT CheckMediaType(const CMediaType* mt) = 0;
    virtual HRESULT SetMediaType(const CMediaType* mt);
    // The pin's own proposals: S_OK with a type, VFW_S_NO_MORE_ITEMS past the end,
    // E_INVALIDARG below 0. The base has none.
    virtual HRESULT GetMediaType(int position, CMediaType* mt);
    // Changes when the list GetMediaType serves changes, so enumerators notice.
    virtual LONG GetMediaTypeVersion() { return 1; }

    // State hooks the filter calls for connected pins: Stopped -> Paused is Active,
    // anything -> Stopped is Inactive, Paused -> Running is Run.
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive();
    virtual HRESULT Run(REFERENCE_TIME start);

    bool IsConnected() const { return static_cast<bool>(connected_); }
    IPin* ConnectedTemp() const { return connected_.Get(); }  // borrowed
    const CMediaType& CurrentMediaType() const { return mt_; }
    PIN_DIRECTION Direction() const { return direction_; }
    const std::wstring& Name() const { return name_; }
    bool IsFlushing() const { return flushing_ != 0; }
    CBaseFilter* FilterTemp() const { return filter_; }
    REFERENCE_TIME SegmentStart() const { return segmentStart_; }
    REFERENCE_TIME SegmentStop() const { return segmentStop_; }
    double SegmentRate() const { return segmentRate_; }

protected:
    // Answers IUnknown and IPin; a pin with more interfaces answers its own first.
    virtual HRESULT QueryPinInterface(REFIID riid, void** ppv);
    CCriticalSection* PinLock() const { return lock_; }

private:
    HRESULT AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* partial);
    HRESULT TryFrom(IPin* receivePin, const CMediaType* partial);
    HRESULT TryMediaTypes(IPin* receivePin, const CMediaType* partial, IEnumMediaTypes* types);
    HRESULT AttemptConnection(IPin* receivePin, const CMediaType& mt);
    void DropConnection();

    CBaseFilter* const filter_;
    CCriticalSection* const lock_;
    const std::wstring name_;
    const PIN_DIRECTION direction_;
    RefPtr<IPin> connected_;
    CMediaType mt_;
    volatile LONG flushing_ = 0;
    REFERENCE_TIME segmentStart_ = 0;
    REFERENCE_TIME segmentStop_ = MAXLONGLONG;
    double segmentRate_ = 1.0;
};

}  // namespace KYR
