#include "web/HttpRequest.h"

#include <windows.h>

#include <wininet.h>

#include <memory>
#include <stdexcept>

#include "web/UrlParts.h"
#include "web/WinInetApi.h"

namespace KYR {

namespace {

// The work of one call. The texts of the errors are for a debugger only: the caller just
// gets the empty reply.
struct HttpRequest {
    std::string url;
    std::string headerText;
    std::string reply;
};

struct InetCloser {
    void operator()(HINTERNET h) const { inet::CloseHandle(h); }
};
using InetHandle = std::unique_ptr<void, InetCloser>;

class HttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads until WinINet reports the end of the body: one InternetReadFile call may return
// fewer bytes than the reply holds, and a chunked reply or one that ends with the connection
// has no Content-Length to go by.
std::string ReadBody(HINTERNET request) {
    std::string body;
    char chunk[8192];
    for (;;) {
        DWORD read = 0;
        if (!inet::ReadFile(request, chunk, sizeof(chunk), &read))
            throw HttpError("InternetReadFile Error");
        if (read == 0) break;
        if (body.size() + read > kMaxReplyBytes) throw HttpError("reply too long");
        body.append(chunk, read);
    }
    return body.substr(0, body.find('\0'));
}

// Windows hands the time-outs of the session down to its connections and requests. Wine 8
// does not for the receive time-out (seen: a request to a service that never answers waited a
// minute for it), so the request gets them too. A handle that refuses one keeps WinINet's
// default for it: that is no reason not to send.
void SetTimeouts(HINTERNET handle) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD timeout = kRequestTimeoutMs;
        inet::SetOptionA(handle, option, &timeout, sizeof(timeout));
    }
}

void Send(HttpRequest& r) {
    UrlParts parts;
    if (!SplitUrl(r.url, &parts)) return;  // nothing is opened for another scheme

    // Declared in opening order, so they close in the reverse: request, connection, session.
    InetHandle internet(
        inet::OpenA("HTTP Request", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) throw HttpError("InternetOpen Error");
    SetTimeouts(internet.get());
    InetHandle connection(inet::ConnectA(internet.get(), parts.host.c_str(), parts.port,
                                           nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) throw HttpError("InternetConnect Error");
    InetHandle request(inet::OpenRequestA(connection.get(), "POST", parts.path.c_str(), nullptr,
                                        nullptr, nullptr,
                                        parts.secure ? INTERNET_FLAG_SECURE : 0, 0));
    if (!request) throw HttpError("HttpOpenRequest Error");
    SetTimeouts(request.get());

    std::string body = parts.query;
    // The body is form-encoded pairs: said so, since a service that goes by the rules leaves
    // a body of no declared type out of the signature (RFC 5849 section 3.4.1.3.1).
    std::string headers = r.headerText;
    if (!body.empty()) {
        const bool endsLine =
            headers.size() >= 2 && headers.compare(headers.size() - 2, 2, "\r\n") == 0;
        if (!headers.empty() && !endsLine) headers += "\r\n";
        headers += "Content-Type: application/x-www-form-urlencoded";
    }
    if (!inet::SendRequestA(request.get(), headers.empty() ? nullptr : headers.c_str(),
                          static_cast<DWORD>(headers.size()),
                          body.empty() ? nullptr : &body[0], static_cast<DWORD>(body.size())))
        throw HttpError("HttpSendRequest Error");
    r.reply = ReadBody(request.get());
}

}  // namespace

std::string PostRequest(const std::string& url, const std::string& headerText) {
    try {
        std::unique_ptr<HttpRequest> r(new HttpRequest{url, headerText, std::string()});
        Send(*r);
        return r->reply;
    } catch (...) {
        return std::string();  // handles are closed by then; the caller sees no reply
    }
}

}  // namespace KYR
