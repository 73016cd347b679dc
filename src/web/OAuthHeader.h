// The Authorization header of an OAuth 1.0a request signed with HMAC-SHA1, for the service's
// token endpoints. Every request this program signs is a POST.
#pragma once

#include <cstdint>
#include <string>

#include "web/OAuthParams.h"

namespace KYR {

// The two per-request values of a header.
struct OAuthStamp {
    std::string timestamp;  // seconds since 1970 UTC, low 32 bits, decimal
    std::string nonce;      // upper-case hexadecimal, 7 to 16 characters
};

// The nonce text of four random values, each taken modulo 2^15: the first written with at
// least four digits, the others unpadded.
std::string FormatNonce(const uint16_t values[4]);

// "Authorization: OAuth ..." without a line end. `url` is the request URL without its query;
// `extra` (may be null) is signed, and never replaces one of the header's own parameters;
// of it, the protocol parameters (names starting "oauth_", such as oauth_callback and
// oauth_verifier) are listed in the header as well, the others must travel in the request.
// Empty key or token leave their parameter out.
std::string MakeOAuthHeader(const std::string& url, const OAuthParams* extra,
                            const std::string& consumerKey, const std::string& consumerSecret,
                            const std::string& token, const std::string& tokenSecret,
                            const OAuthStamp& stamp);

// The same with the current time and a nonce from the system's cryptographic random source
// (Windows only: OAuthStamp.cpp). Throws std::runtime_error when no random bytes can be had.
std::string MakeOAuthHeader(const std::string& url, const OAuthParams* extra,
                            const std::string& consumerKey, const std::string& consumerSecret,
                            const std::string& token, const std::string& tokenSecret);

}  // namespace KYR
