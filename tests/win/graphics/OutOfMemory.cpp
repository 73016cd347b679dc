#include "OutOfMemory.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<DWORD> g_failingThread{0};  // no thread has the id 0
std::atomic<int> g_allowed{0};

}  // namespace

// The default operator delete frees with free(), which matches the malloc() here.
void* operator new(std::size_t size) {
    if (g_failingThread.load() == GetCurrentThreadId() && g_allowed.fetch_sub(1) <= 0)
        throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

namespace KYR {
namespace test {

OutOfMemory::OutOfMemory(int allowed) {
    g_allowed.store(allowed);
    g_failingThread.store(GetCurrentThreadId());
}

OutOfMemory::~OutOfMemory() { g_failingThread.store(0); }

}  // namespace test
}  // namespace KYR
