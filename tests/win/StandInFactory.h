// A class object that stands in for a system filter in this test process: while a
// StandInClass lives, CoCreateInstance of its class id makes what `make` returns. The holder,
// not COM's count, decides the class object's life.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <functional>
#include <new>
#include <utility>

namespace kyrtest {

class StandInClass final : public IClassFactory {
public:
    using Make = std::function<HRESULT(REFIID riid, void** ppv)>;

    StandInClass(const CLSID& clsid, Make make) : make_(std::move(make)) {
        if (FAILED(CoRegisterClassObject(clsid, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                         &cookie_)))
            cookie_ = 0;
    }
    ~StandInClass() {
        if (cookie_) CoRevokeClassObject(cookie_);
    }
    StandInClass(const StandInClass&) = delete;
    StandInClass& operator=(const StandInClass&) = delete;
    bool Ok() const { return cookie_ != 0; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        return outer ? CLASS_E_NOAGGREGATION : make_(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    const Make make_;
    DWORD cookie_ = 0;
};

// A new Filter handed out as riid; `kept`, when given, receives a reference of its own.
template <class Filter>
HRESULT MakeFilter(REFIID riid, void** ppv, Filter** kept = nullptr) {
    auto* made = new (std::nothrow) Filter;
    if (!made) return E_OUTOFMEMORY;
    made->AddRef();
    const HRESULT hr = made->QueryInterface(riid, ppv);
    if (kept) {
        *kept = made;
        return hr;
    }
    made->Release();
    return hr;
}

}  // namespace kyrtest
