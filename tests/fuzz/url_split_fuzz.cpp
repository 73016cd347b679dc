// SplitUrl takes the URLs the link page builds from the service's replies (the token is put
// into a URL unencoded). Whatever it accepts must have a sane shape and put back together to
// a URL that splits the same way.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "web/UrlParts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string url(reinterpret_cast<const char*>(data), size);
    KYR::UrlParts parts;
    if (!KYR::SplitUrl(url, &parts)) return 0;
    if (parts.port == 0) std::abort();
    if (parts.path.empty() || parts.path[0] != '/') std::abort();
    if (parts.path.find('?') != std::string::npos) std::abort();
    if (parts.host.find('/') != std::string::npos) std::abort();
    if (parts.host.size() + parts.path.size() + parts.query.size() > url.size()) std::abort();

    // The query was cut at the first "?" of the part after the host.
    std::string rebuilt = std::string(parts.secure ? "https" : "http") + "://" + parts.host +
                          ":" + std::to_string(parts.port) + parts.path;
    if (!parts.query.empty()) rebuilt += "?" + parts.query;
    KYR::UrlParts again;
    if (!KYR::SplitUrl(rebuilt, &again)) std::abort();
    if (again.secure != parts.secure || again.host != parts.host || again.port != parts.port ||
        again.path != parts.path || again.query != parts.query)
        std::abort();
    return 0;
}
