// The web client's one network operation: a blocking POST over WinINet.
#pragma once

#include <string>

namespace KYR {

// Sends a POST to `url` ("https:" or "http:", case-sensitive; a port after the host is used)
// with `headerText` as additional headers, passed verbatim. A query in the URL is not part of
// the request path: it is sent as the body, declared as a form ("Content-Type:
// application/x-www-form-urlencoded" after the caller's headers). Returns the reply body up
// to its first zero byte, whatever the HTTP status; "" on every failure (another scheme, no
// connection, a body over 1 MiB, a wait past kRequestTimeoutMs, ...). Never throws; blocks
// the calling thread.
std::string PostRequest(const std::string& url, const std::string& headerText);

// The largest reply body accepted; token replies are well under 1 KiB.
constexpr size_t kMaxReplyBytes = 1024 * 1024;

// How long the connection, the sending and each wait for reply data may take. WinINet's own
// defaults run to minutes: behind a proxy or a captive portal the sheet would stay frozen
// that long, Windows would call it not responding, and closing it would lose every unsaved
// setting on the other pages.
constexpr unsigned long kRequestTimeoutMs = 15000;

}  // namespace KYR
