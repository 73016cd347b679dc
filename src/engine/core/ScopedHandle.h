// Small owners for kernel and GDI handles. Each closes what it holds; none can be copied.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace KYR {

// A kernel handle whose empty values are null and INVALID_HANDLE_VALUE.
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE h) : h_(h) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
    ScopedHandle& operator=(ScopedHandle&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = o.h_;
            o.h_ = nullptr;
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
    HANDLE Release() {
        HANDLE h = h_;
        h_ = nullptr;
        return h;
    }
    void Reset(HANDLE h = nullptr) {
        if (Valid()) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_ = nullptr;
};

struct DCDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
// A DC made by CreateCompatibleDC/CreateDC (not GetDC, which is released instead).
class ScopedDC : public std::unique_ptr<std::remove_pointer_t<HDC>, DCDeleter> {
public:
    using unique_ptr::unique_ptr;
};

struct GdiObjectDeleter {
    void operator()(HGDIOBJ obj) const { DeleteObject(obj); }
};
template <class H>
using ScopedGdiObject = std::unique_ptr<std::remove_pointer_t<H>, GdiObjectDeleter>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;

}  // namespace KYR
