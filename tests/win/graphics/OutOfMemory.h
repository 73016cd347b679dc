// Memory running out on one thread, for the factories' tests. This test program replaces the
// global operator new; libstdc++ makes the nothrow forms from it, so they fail alike.
#pragma once

namespace KYR {
namespace test {

// While it lives, the allocations its thread makes through operator new fail after the first
// `allowed` of them: the throwing forms throw std::bad_alloc and the nothrow forms give null.
// Other threads allocate as usual.
class OutOfMemory {
public:
    explicit OutOfMemory(int allowed = 0);
    ~OutOfMemory();
    OutOfMemory(const OutOfMemory&) = delete;
    OutOfMemory& operator=(const OutOfMemory&) = delete;
};

}  // namespace test
}  // namespace KYR
