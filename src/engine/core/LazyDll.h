// Binds the DirectX entry points on first call instead of importing them at start, so the
// program starts on a machine that lacks one of these DLLs and the caller sees the API's own
// failure result (a null object or an error code) instead of a loader error.
#pragma once

#include <windows.h>

namespace KYR {

// A DLL loaded on first use and kept for the rest of the process: DirectX DLLs are never
// unloaded, because objects made from them may be released as late as static destruction.
class LazyModule {
public:
    explicit LazyModule(const char* fileName) : fileName_(fileName) {}
    LazyModule(const LazyModule&) = delete;
    LazyModule& operator=(const LazyModule&) = delete;

    // The export, or null when the DLL or the export is missing. Thread-safe.
    FARPROC Proc(const char* exportName);

private:
    static BOOL CALLBACK Load(PINIT_ONCE, PVOID self, PVOID*);

    const char* fileName_;
    INIT_ONCE once_ = INIT_ONCE_STATIC_INIT;
    HMODULE module_ = nullptr;
};

// Result when a DLL or an export is missing: HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND).
constexpr HRESULT kModuleMissing = static_cast<HRESULT>(0x8007007E);

}  // namespace KYR
