#include "web/SystemRandom.h"

#include <windows.h>

// RtlGenRandom (advapi32's SystemFunction036): the same source as CryptGenRandom without a
// provider context to acquire and release.
#include <ntsecapi.h>

namespace KYR {

bool FillSystemRandom(void* buffer, size_t size) {
    return RtlGenRandom(buffer, static_cast<ULONG>(size)) != FALSE;
}

}  // namespace KYR
