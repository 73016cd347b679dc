#include "VideoStandIns.h"

#include <atomic>

#include <uuids.h>

#include <new>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/BaseFilter.h"
#include "engine/media/dshow/BasePin.h"
#include "engine/media/dshow/MemInputPin.h"
#include "engine/media/dshow/SeekingPassThru.h"
#include "engine/media/graph/DShowDecoders.h"

namespace kyrtest {

using namespace KYR;

std::atomic<bool> ConverterStandIn::zeroDuration{false};
std::atomic<bool> ConverterStandIn::typeOnEverySample{false};

namespace {

class Converter;

class ConverterInput : public CMemInputPin {
public:
    ConverterInput(Converter* filter, CCriticalSection* lock);

    HRESULT CheckMediaType(const CMediaType* mt) override {
        const bool rgb = IsEqualGUID(mt->subtype, MEDIASUBTYPE_RGB24) ||
                         IsEqualGUID(mt->subtype, MEDIASUBTYPE_RGB32) ||
                         IsEqualGUID(mt->subtype, MEDIASUBTYPE_RGB8);
        return IsEqualGUID(mt->majortype, MEDIATYPE_Video) && rgb ? S_OK : S_FALSE;
    }
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    STDMETHODIMP ReceiveCanBlock() override { return S_OK; }
    void Restart() { refused_ = false; }

protected:
    HRESULT OnReceive(IMediaSample* sample) override;  // passed on as it is

private:
    Converter* const filter_;
    // Set once downstream refused a sample (S_FALSE or a failure): from then on nothing is
    // sent until the next flush or the next start from stopped, as the push threads of
    // Windows' splitters do (a start makes a new one). Wine's splitter sends on regardless,
    // which would hide a renderer that refuses.
    std::atomic<bool> refused_{false};
};

class ConverterOutput : public CBasePin, public CSeekingPassThru {
public:
    ConverterOutput(CBaseFilter* filter, CCriticalSection* lock, ConverterInput* input)
        : CBasePin(filter, lock, L"Out", PINDIR_OUTPUT),
          input_(input) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return CBasePin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return CBasePin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CBasePin::Release(); }

    // Exactly what comes in goes out.
    HRESULT CheckMediaType(const CMediaType* mt) override {
        return input_->IsConnected() && *mt == input_->CurrentMediaType() ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int position, CMediaType* mt) override {
        if (position < 0) return E_INVALIDARG;
        if (position > 0 || !input_->IsConnected()) return VFW_S_NO_MORE_ITEMS;
        return mt->Set(input_->CurrentMediaType());
    }
    // The samples upstream fills go on as they are, from upstream's allocator.
    HRESULT CompleteConnect(IPin* receivePin) override {
        if (FAILED(receivePin->QueryInterface(IID_IMemInputPin,
                                              reinterpret_cast<void**>(peer_.Put()))) ||
            !input_->AllocatorTemp())
            return E_FAIL;
        return peer_->NotifyAllocator(input_->AllocatorTemp(), TRUE);
    }
    HRESULT BreakConnect() override {
        peer_.Reset();
        return S_OK;
    }
    STDMETHODIMP GetDuration(LONGLONG* duration) override {
        if (ConverterStandIn::zeroDuration) {
            if (!duration) return E_POINTER;
            *duration = 0;
            return S_OK;
        }
        return CSeekingPassThru::GetDuration(duration);
    }
    IMemInputPin* PeerTemp() const { return peer_.Get(); }

protected:
    IPin* SeekingInputTemp() override { return input_; }
    HRESULT QueryPinInterface(REFIID riid, void** ppv) override {
        static const ComInterfaceEntry table[] = {
            KYR_COM_ENTRY(ConverterOutput, IMediaSeeking), KYR_COM_END};
        const HRESULT hr = QueryInterfaceFromTable(this, table, riid, ppv);
        return SUCCEEDED(hr) ? hr : CBasePin::QueryPinInterface(riid, ppv);
    }

private:
    ConverterInput* const input_;
    RefPtr<IMemInputPin> peer_;
};

class Converter : public CBaseFilter {
public:
    Converter()
        : CBaseFilter(L"Colour Space Converter", &lock_, kClsidColourSpaceConverter),
          in_(this, &lock_),
          out_(this, &lock_, &in_) {}
    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int index) override {
        return index == 0 ? static_cast<CBasePin*>(&in_) : index == 1 ? &out_ : nullptr;
    }
    ConverterOutput& Out() { return out_; }
    STDMETHODIMP Pause() override {
        if (IsStopped()) in_.Restart();  // paused or run from stopped
        return CBaseFilter::Pause();
    }

private:
    CCriticalSection lock_;
    ConverterInput in_;
    ConverterOutput out_;
};

ConverterInput::ConverterInput(Converter* filter, CCriticalSection* lock)
    : CMemInputPin(filter, lock, L"In"), filter_(filter) {}

HRESULT ConverterInput::OnReceive(IMediaSample* sample) {
    IMemInputPin* peer = filter_->Out().PeerTemp();
    if (ConverterStandIn::typeOnEverySample)
        sample->SetMediaType(const_cast<CMediaType*>(&CurrentMediaType()));
    if (!peer || refused_) return S_FALSE;
    const HRESULT hr = peer->Receive(sample);
    if (hr != S_OK) refused_ = true;
    return hr;
}

STDMETHODIMP ConverterInput::EndOfStream() {
    IPin* peer = filter_->Out().ConnectedTemp();
    return peer ? peer->EndOfStream() : S_OK;
}

STDMETHODIMP ConverterInput::BeginFlush() {
    CBasePin::BeginFlush();
    IPin* peer = filter_->Out().ConnectedTemp();
    return peer ? peer->BeginFlush() : S_OK;
}

STDMETHODIMP ConverterInput::EndFlush() {
    refused_ = false;
    IPin* peer = filter_->Out().ConnectedTemp();
    if (peer) peer->EndFlush();
    return CBasePin::EndFlush();
}

STDMETHODIMP ConverterInput::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    CBasePin::NewSegment(start, stop, rate);
    IPin* peer = filter_->Out().ConnectedTemp();
    return peer ? peer->NewSegment(start, stop, rate) : S_OK;
}

}  // namespace

ConverterStandIn::ConverterStandIn()
    : class_(kClsidColourSpaceConverter,
             [](REFIID riid, void** ppv) { return MakeFilter<Converter>(riid, ppv); }) {}

ConverterStandIn::~ConverterStandIn() {
    zeroDuration = false;
    typeOnEverySample = false;
}

FailingVmrStandIn::FailingVmrStandIn()
    : class_(CLSID_VideoMixingRenderer9, [](REFIID, void**) { return E_FAIL; }) {}

namespace {

RefPtr<IBaseFilter> MakeVmr() {
    RefPtr<IBaseFilter> vmr;
    if (FAILED(CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IBaseFilter, reinterpret_cast<void**>(vmr.Put()))))
        vmr.Reset();
    return vmr;
}

}  // namespace

// Made before the stand-in is registered, so this one is Wine's own.
WatchedVmrStandIn::WatchedVmrStandIn()
    : vmr_(MakeVmr()), class_(CLSID_VideoMixingRenderer9, [this](REFIID riid, void** ppv) {
          return vmr_ ? vmr_->QueryInterface(riid, ppv) : E_FAIL;
      }) {}

}  // namespace kyrtest
