// The IUnknown half of the engine's own DirectShow objects: an interlocked count, a
// QueryInterface table per class, and parts whose lifetime is another object's.
//
// A pin is part of its filter: the graph may hold a pin after it released the filter, so a
// pin's AddRef and Release count on the filter and the filter deletes its pins. A media
// sample belongs to its allocator in the same way.
#pragma once

#include <windows.h>

#include <unknwn.h>
#include <vfwmsgs.h>

#include <cstddef>
#include <cstdint>

namespace KYR {

// One row of a QueryInterface table: an interface id and the offset of the base that
// answers it inside the class the table belongs to. A table ends with a null iid.
struct ComInterfaceEntry {
    const IID* iid;
    std::ptrdiff_t offset;
};

// Offset of the I base within class C, computed without an object.
template <class C, class I>
std::ptrdiff_t ComBaseOffset() {
    // Any aligned non-null address will do: only the difference counts.
    C* const probe = reinterpret_cast<C*>(static_cast<std::uintptr_t>(0x10000));
    return reinterpret_cast<char*>(static_cast<I*>(probe)) - reinterpret_cast<char*>(probe);
}

#define KYR_COM_ENTRY(Class, Interface) \
    ::KYR::ComInterfaceEntry { &IID_##Interface, ::KYR::ComBaseOffset<Class, Interface>() }
// IUnknown (or a base interface such as IMediaFilter) answered through a chosen base, for
// classes where the name alone is ambiguous.
#define KYR_COM_ENTRY_VIA(Class, Interface, Base) \
    ::KYR::ComInterfaceEntry { &IID_##Interface, ::KYR::ComBaseOffset<Class, Base>() }
#define KYR_COM_END ::KYR::ComInterfaceEntry { nullptr, 0 }

// Looks riid up in the table of the class that object points to (the pointer must be of
// exactly that class, not of a base at another offset). Sets *ppv on every path and adds
// the reference through the interface it hands out. E_NOINTERFACE when the row is absent.
HRESULT QueryInterfaceFromTable(void* object, const ComInterfaceEntry* table, REFIID riid,
                                void** ppv);

// The count of an object that lives on its own (filters, enumerators, allocators).
class ComRefCount {
public:
    ULONG Increment() { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
    ULONG Decrement() { return static_cast<ULONG>(InterlockedDecrement(&count_)); }

private:
    volatile LONG count_ = 0;
};

// IUnknown of a leaf class that owns its count (member refs_) and answers from the table
// its static QueryTable() returns. Objects start at a count of 0: the creator's first
// QueryInterface or AddRef takes the first reference.
#define KYR_COM_OWN_IUNKNOWN(Class)                                                     \
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {                     \
        return ::KYR::QueryInterfaceFromTable(static_cast<Class*>(this), QueryTable(),  \
                                              riid, ppv);                               \
    }                                                                                   \
    STDMETHODIMP_(ULONG) AddRef() override { return refs_.Increment(); }                \
    STDMETHODIMP_(ULONG) Release() override {                                           \
        const ULONG n = refs_.Decrement();                                              \
        if (n == 0) delete this;                                                        \
        return n;                                                                       \
    }

}  // namespace KYR
