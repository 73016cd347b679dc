// A small pull-mode input pin (and its filter) for driving the stream source filter's
// IAsyncReader directly, the way a parser's input pin does. With askForReader off it never
// queries IAsyncReader, like a push-mode pin would.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/core/RefPtr.h"
#include "engine/media/dshow/BaseFilter.h"
#include "engine/media/dshow/BasePin.h"

namespace kyrtest {

class PullFilter;

class PullPin : public KYR::CBasePin {
public:
    PullPin(PullFilter* filter, KYR::CCriticalSection* lock, bool askForReader);

    HRESULT CheckMediaType(const KYR::CMediaType*) override { return S_OK; }
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    IAsyncReader* Reader() const { return reader_.Get(); }
    LONG BreakCount() const { return breaks_; }

private:
    const bool askForReader_;
    KYR::RefPtr<IAsyncReader> reader_;
    LONG breaks_ = 0;
};

class PullFilter : public KYR::CBaseFilter {
public:
    explicit PullFilter(bool askForReader = true)
        : CBaseFilter(L"Pull", &lock_, GUID_NULL), pin_(this, &lock_, askForReader) {}
    int GetPinCount() override { return 1; }
    KYR::CBasePin* GetPin(int index) override { return index == 0 ? &pin_ : nullptr; }
    PullPin* Pin() { return &pin_; }

private:
    KYR::CCriticalSection lock_;
    PullPin pin_;
};

inline PullPin::PullPin(PullFilter* filter, KYR::CCriticalSection* lock, bool askForReader)
    : CBasePin(filter, lock, L"Pull In", PINDIR_INPUT), askForReader_(askForReader) {}

inline HRESULT PullPin::CheckConnect(IPin* pin) {
    HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr) || !askForReader_) return hr;
    // A parser asks for the reader while it is being connected, before the source completes.
    return pin->QueryInterface(IID_IAsyncReader, reinterpret_cast<void**>(reader_.Put()));
}

inline HRESULT PullPin::BreakConnect() {
    ++breaks_;
    reader_.Reset();
    return CBasePin::BreakConnect();
}

}  // namespace kyrtest
