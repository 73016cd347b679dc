// How a request URL is taken apart for WinINet: scheme, host, port, path and the query that
// is sent as the request body.
#pragma once

#include <cstdint>
#include <string>

namespace KYR {

struct UrlParts {
    bool secure = false;    // "https:"
    std::string host;       // without the port
    uint16_t port = 0;      // from the URL, else 443 (https) or 80 (http)
    std::string path;       // "/" when the URL has nothing after the host; no query
    std::string query;      // after the first "?", undecoded; "" when there is none
};

// False, leaving `parts` alone, unless the URL starts with exactly "https:" or "http:"
// (case matters), holds "//", and any port after the host is a number from 1 to 65535 (an
// empty one means the default).
bool SplitUrl(const std::string& url, UrlParts* parts);

}  // namespace KYR
