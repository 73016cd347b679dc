// The per-request values of a signed header: the clock and a nonce from the system's random
// source. Separate from OAuthHeader.cpp, which stays free of Windows so it builds on the host.
#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>

#include "web/OAuthHeader.h"
#include "web/SystemRandom.h"

namespace KYR {

namespace {

OAuthStamp MakeOAuthStamp() {
    uint16_t values[4];
    if (!FillSystemRandom(values, sizeof(values)))
        throw std::runtime_error("no random bytes for the OAuth nonce");
    OAuthStamp stamp;
    // The low 32 bits of the 64-bit time, as the service has always been sent.
    stamp.timestamp = std::to_string(static_cast<uint32_t>(std::time(nullptr)));
    stamp.nonce = FormatNonce(values);
    return stamp;
}

}  // namespace

std::string MakeOAuthHeader(const std::string& url, const OAuthParams* extra,
                            const std::string& consumerKey, const std::string& consumerSecret,
                            const std::string& token, const std::string& tokenSecret) {
    return MakeOAuthHeader(url, extra, consumerKey, consumerSecret, token, tokenSecret,
                           MakeOAuthStamp());
}

}  // namespace KYR
