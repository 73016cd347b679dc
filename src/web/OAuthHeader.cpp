#include "web/OAuthHeader.h"

#include <cstdio>

#include "web/Base64.h"
#include "web/HmacSha1.h"
#include "web/PercentEncode.h"

namespace KYR {

std::string FormatNonce(const uint16_t values[4]) {
    std::string nonce;
    char part[8];
    for (int i = 0; i < 4; ++i) {
        std::snprintf(part, sizeof(part), i == 0 ? "%04X" : "%X", values[i] & 0x7FFFu);
        nonce += part;
    }
    return nonce;
}

std::string MakeOAuthHeader(const std::string& url, const OAuthParams* extra,
                            const std::string& consumerKey, const std::string& consumerSecret,
                            const std::string& token, const std::string& tokenSecret,
                            const OAuthStamp& stamp) {
    OAuthParams params;
    if (!consumerKey.empty()) params["oauth_consumer_key"] = consumerKey;
    if (!token.empty()) params["oauth_token"] = token;
    params["oauth_signature_method"] = "HMAC-SHA1";
    params["oauth_timestamp"] = stamp.timestamp;
    params["oauth_nonce"] = stamp.nonce;
    params["oauth_version"] = "1.0";

    // insert keeps existing names: an extra parameter never replaces one of the header's own.
    if (extra) params.insert(extra->begin(), extra->end());

    // Every "oauth_" parameter (oauth_callback, oauth_verifier among the extra ones) goes in
    // one place only, the header (RFC 5849 section 3.5); a strict service refuses a request
    // that splits them between header and body. Other extra parameters travel in the request
    // itself and are only signed here.
    std::string listed;
    for (const auto& p : params) {
        if (p.first.compare(0, 6, "oauth_") != 0) continue;
        if (!listed.empty()) listed += ',';
        listed += PercentEncode(p.first) + "=\"" + PercentEncode(p.second) + '"';
    }

    std::string normalised;
    for (const auto& p : params) {
        if (!normalised.empty()) normalised += '&';
        normalised += PercentEncode(p.first) + '=' + PercentEncode(p.second);
    }
    const std::string baseString =
        PercentEncode("POST") + '&' + PercentEncode(url) + '&' + PercentEncode(normalised);
    const std::string key = PercentEncode(consumerSecret) + '&' + PercentEncode(tokenSecret);
    const std::string signature = PercentEncode(Base64Encode(HmacSha1(key, baseString)));
    return "Authorization: OAuth " + listed + ",oauth_signature=\"" + signature + '"';
}

}  // namespace KYR
