// HMAC (RFC 2104) over SHA-1: the signature primitive of OAuth 1.0a's HMAC-SHA1 method.
#pragma once

#include <string>

namespace KYR {

// The 20-byte HMAC-SHA1 of `data` under `key`; both are byte strings of any length.
std::string HmacSha1(const std::string& key, const std::string& data);

}  // namespace KYR
