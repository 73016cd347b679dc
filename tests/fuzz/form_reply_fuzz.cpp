// ParseFormReply reads whatever the network returns. Every stored name and value must be a
// piece of the body, and a body rebuilt from the map must parse to the same map.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "web/FormReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    const KYR::OAuthParams reply = KYR::ParseFormReply(body);
    std::string rebuilt;
    for (const auto& p : reply) {
        if (p.first.find_first_of("&=") != std::string::npos) std::abort();
        if (p.second.find('&') != std::string::npos) std::abort();
        if (body.find(p.first + '=' + p.second) == std::string::npos) std::abort();
        if (!rebuilt.empty()) rebuilt += '&';
        rebuilt += p.first + '=' + p.second;
    }
    if (KYR::ParseFormReply(rebuilt) != reply) std::abort();
    return 0;
}
