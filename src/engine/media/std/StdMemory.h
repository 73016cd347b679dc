// The standard services' memory operations, as free functions (CKYRStd forwards to them).
// Lengths and counts are bytes and elements as 32-bit values, as the engine's interface has
// them. Unaligned pointers are fine everywhere.
#pragma once

#include <cstdint>

namespace KYR {

// Copies forwards, four bytes at a time and then the rest. Overlapping blocks therefore
// behave as that forward copy does (not as memmove): a destination up to three bytes past
// the source repeats the first bytes. Nothing happens when a pointer is null.
void StdCopyMemory(void* destination, const void* source, uint32_t length);
// Exchanges two blocks through a temporary buffer; nothing for a null pointer, a zero length
// or a buffer that cannot be had.
void StdSwapMemory(void* a, void* b, uint32_t length);
// The same source block count times, end to end.
void StdRepeatMemory(void* destination, const void* source, uint32_t length, uint32_t count);
void StdFillWord(void* destination, uint16_t value, uint32_t count);
void StdFillDword(void* destination, uint32_t value, uint32_t count);

}  // namespace KYR
