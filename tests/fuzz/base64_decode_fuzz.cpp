// Base64Decode reads values from Game.ini and System.ini that anyone may have edited. It may
// only return bytes or throw its two errors; what it returns must encode and decode back to
// itself, and the stored-key reader built on it must settle after one rewrite.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "web/Base64.h"
#include "web/StoredKey.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const KYR::StoredKeyText read = KYR::ReadStoredKey(text);
    if (read.text.size() > KYR::kMaxKeyText) std::abort();
    if (read.rewrite && KYR::ReadStoredKey(read.rewrittenValue).rewrite) std::abort();

    std::string bytes;
    try {
        bytes = KYR::Base64Decode(text);
    } catch (const std::runtime_error&) {
        return 0;
    } catch (const std::out_of_range&) {
        return 0;
    }
    if (bytes.size() > size / 4 * 3 + 2) std::abort();
    if (KYR::Base64Decode(KYR::Base64Encode(bytes)) != bytes) std::abort();
    return 0;
}
