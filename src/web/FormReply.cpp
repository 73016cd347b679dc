#include "web/FormReply.h"

namespace KYR {

OAuthParams ParseFormReply(const std::string& body) {
    OAuthParams reply;
    size_t start = 0;
    for (;;) {
        const size_t end = body.find('&', start);
        const std::string piece =
            body.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const size_t equals = piece.find('=');
        if (equals != std::string::npos) reply[piece.substr(0, equals)] = piece.substr(equals + 1);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return reply;
}

}  // namespace KYR
