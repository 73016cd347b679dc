#include "engine/media/std/StdMemory.h"

#include <cstring>
#include <memory>
#include <new>

namespace KYR {
namespace {

bool Overlap(const uint8_t* a, const uint8_t* b, uint32_t length) {
    const auto pa = reinterpret_cast<std::uintptr_t>(a);
    const auto pb = reinterpret_cast<std::uintptr_t>(b);
    return pa < pb + length && pb < pa + length;
}

}  // namespace

void StdCopyMemory(void* destination, const void* source, uint32_t length) {
    if (!destination || !source || length == 0) return;
    auto* d = static_cast<uint8_t*>(destination);
    const auto* s = static_cast<const uint8_t*>(source);
    if (!Overlap(d, s, length)) {
        std::memcpy(d, s, length);  // the same bytes as the word loop, at library speed
        return;
    }
    uint32_t i = 0;
    for (; i + 4 <= length; i += 4) {
        uint32_t word;
        std::memcpy(&word, s + i, 4);
        std::memcpy(d + i, &word, 4);
    }
    for (; i < length; ++i) d[i] = s[i];
}

void StdSwapMemory(void* a, void* b, uint32_t length) {
    if (!a || !b || length == 0) return;
    std::unique_ptr<uint8_t[]> temp(new (std::nothrow) uint8_t[length]);
    if (!temp) return;
    StdCopyMemory(temp.get(), a, length);
    StdCopyMemory(a, b, length);
    StdCopyMemory(b, temp.get(), length);
}

void StdRepeatMemory(void* destination, const void* source, uint32_t length, uint32_t count) {
    if (!destination || !source) return;
    auto* d = static_cast<uint8_t*>(destination);
    for (uint32_t i = 0; i < count; ++i, d += length) StdCopyMemory(d, source, length);
}

void StdFillWord(void* destination, uint16_t value, uint32_t count) {
    if (!destination || count == 0) return;
    auto* d = static_cast<uint8_t*>(destination);
    const uint32_t pair = static_cast<uint32_t>(value) << 16 | value;
    for (uint32_t i = 0; i < count / 2; ++i, d += 4) std::memcpy(d, &pair, 4);
    if (count & 1u) std::memcpy(d, &value, 2);
}

void StdFillDword(void* destination, uint32_t value, uint32_t count) {
    if (!destination) return;
    auto* d = static_cast<uint8_t*>(destination);
    for (uint32_t i = 0; i < count; ++i, d += 4) std::memcpy(d, &value, 4);
}

}  // namespace KYR
