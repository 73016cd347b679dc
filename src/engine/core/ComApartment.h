// Holds the calling thread in a single-threaded COM apartment for the holder's lifetime.
#pragma once

#include <objbase.h>

namespace KYR {

// The shell's functions (ShellExecute among them) may hand work to COM objects of shell
// extensions, which expect the thread to be in an apartment: ShellExecute's documentation
// asks callers to initialise COM apartment-threaded first. Uninitialises only what it
// initialised itself (S_OK and S_FALSE both count one), so a thread already in a
// multithreaded apartment (RPC_E_CHANGED_MODE) is left as it was.
class ComApartment {
public:
    ComApartment()
        : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT hr_;
};

}  // namespace KYR
