// Bytes from the system's cryptographic random source, for OAuth nonces. The C library's
// generator is predictable and shared by the whole process, so it is never used for them.
#pragma once

#include <cstddef>

namespace KYR {

// Fills `size` bytes; false when the source fails (the buffer is then undefined).
bool FillSystemRandom(void* buffer, size_t size);

}  // namespace KYR
