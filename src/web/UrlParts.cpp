#include "web/UrlParts.h"

namespace KYR {

namespace {

// Takes a ":port" suffix off `host`. An IPv6 literal ("[::1]") keeps its inner colons.
bool TakePort(std::string* host, uint16_t* port) {
    const size_t bracket = host->rfind(']');
    const size_t colon = host->rfind(':');
    if (colon == std::string::npos || (bracket != std::string::npos && colon < bracket))
        return true;
    const std::string digits = host->substr(colon + 1);
    host->erase(colon);
    if (digits.empty()) return true;
    if (digits.size() > 5) return false;
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return false;
    *port = static_cast<uint16_t>(value);
    return true;
}

}  // namespace

bool SplitUrl(const std::string& url, UrlParts* parts) {
    UrlParts p;
    if (url.compare(0, 6, "https:") == 0) {
        p.secure = true;
        p.port = 443;
    } else if (url.compare(0, 5, "http:") == 0) {
        p.port = 80;
    } else {
        return false;
    }
    const size_t slashes = url.find("//");
    if (slashes == std::string::npos) return false;
    const std::string rest = url.substr(slashes + 2);

    const size_t slash = rest.find('/');
    p.host = rest.substr(0, slash);
    p.path = slash == std::string::npos ? "/" : rest.substr(slash);
    const size_t question = p.path.find('?');
    if (question != std::string::npos) {
        p.query = p.path.substr(question + 1);
        p.path.erase(question);
    }
    if (!TakePort(&p.host, &p.port)) return false;
    *parts = p;
    return true;
}

}  // namespace KYR
