// The OAuth header builder, the percent-encoding it uses and the token-reply parser. The
// signatures were computed independently (Python's hmac over oauthlib's base string).
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "web/FormReply.h"
#include "web/OAuthHeader.h"
#include "web/PercentEncode.h"

namespace {

using namespace KYR;

const OAuthStamp kStamp = {"1700000000", "0ABC1F2E3D4C"};

TEST(PercentEncode, KeepsOnlyUnreservedCharacters) {
    struct Row {
        std::string text;
        const char* encoded;
    } rows[] = {
        {"AZaz09", "AZaz09"},
        {"-._~", "-._~"},
        {" ", "%20"},
        {"+/=", "%2B%2F%3D"},
        {"\xE3", "%E3"},
        {"a&b%c", "a%26b%25c"},
        {"\xE3\x81\x82", "%E3%81%82"},          // UTF-8 bytes one by one
        {std::string("\0\x7F", 2), "%00%7F"},
        {"*!'()", "%2A%21%27%28%29"},
        {"", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(PercentEncode(r.text), r.encoded) << r.text;
}

std::string SignatureOf(const std::string& header) {
    const size_t at = header.find("oauth_signature=\"");
    return at == std::string::npos ? "" : header.substr(at);
}

TEST(OAuthHeader, RequestTokenHeaderKnownAnswer) {
    EXPECT_EQ(MakeOAuthHeader("https://api.twitter.com/oauth/request_token", nullptr,
                              "kyrConsumer", "cs&%secret", "", "", kStamp),
              "Authorization: OAuth oauth_consumer_key=\"kyrConsumer\","
              "oauth_nonce=\"0ABC1F2E3D4C\",oauth_signature_method=\"HMAC-SHA1\","
              "oauth_timestamp=\"1700000000\",oauth_version=\"1.0\","
              "oauth_signature=\"f7SzMpvTLTCV1yXQp9Q0nk7B714%3D\"");
}

// The verifier and the callback are protocol parameters: listed in the header, in order, and
// signed; nothing of them is left for the body.
TEST(OAuthHeader, ExtraProtocolParametersAreListedAndSigned) {
    const OAuthParams verifier = {{"oauth_verifier", "1234567"}};
    EXPECT_EQ(MakeOAuthHeader("https://api.twitter.com/oauth/access_token", &verifier,
                              "kyrConsumer", "cs&%secret", "reqTok", "reqSec", kStamp),
              "Authorization: OAuth oauth_consumer_key=\"kyrConsumer\","
              "oauth_nonce=\"0ABC1F2E3D4C\",oauth_signature_method=\"HMAC-SHA1\","
              "oauth_timestamp=\"1700000000\",oauth_token=\"reqTok\","
              "oauth_verifier=\"1234567\",oauth_version=\"1.0\","
              "oauth_signature=\"5zkR%2FXo4RqN4dDrXJ5975%2BfKMUU%3D\"");
    const OAuthParams callback = {{"oauth_callback", "oob"}};
    EXPECT_EQ(MakeOAuthHeader("https://api.twitter.com/oauth/request_token", &callback,
                              "kyrConsumer", "cs&%secret", "", "", kStamp),
              "Authorization: OAuth oauth_callback=\"oob\",oauth_consumer_key=\"kyrConsumer\","
              "oauth_nonce=\"0ABC1F2E3D4C\",oauth_signature_method=\"HMAC-SHA1\","
              "oauth_timestamp=\"1700000000\",oauth_version=\"1.0\","
              "oauth_signature=\"9OdZ1m%2F7uQ2NJ08VI5U18sEmAy0%3D\"");
}

// The service's own documentation example of a signed request: a status update whose query
// and body parameters are signed but travel outside the header.
TEST(OAuthHeader, TheServiceDocumentationExample) {
    const OAuthParams request = {
        {"include_entities", "true"},
        {"status", "Hello Ladies + Gentlemen, a signed OAuth request!"},
    };
    const std::string header = MakeOAuthHeader(
        "https://api.twitter.com/1.1/statuses/update.json", &request, "xvz1evFS4wEEPTGEFPHBog",
        "kAcSOqF21Fu85e7zjz7ZN2U4ZRhfV3WpwPAoE3Z7kBw",
        "370773112-GmHxMAgYyLbNEtIKZeRNFsMKPR9EyMZeS9weJAEb",
        "LswwdoUaIvS8ltyTt5jkRh4J50vUPVVHtR2YPi5kE",
        {"1318622958", "kYjzVBB8Y0ZFabxSWbWovY3uYSQ2pTgmZeNu2VS4cg"});
    EXPECT_EQ(SignatureOf(header), "oauth_signature=\"hCtSmYh%2BiHYCEqBWrE7C7hYmtUk%3D\"");
    EXPECT_EQ(header.find("status"), std::string::npos);
    EXPECT_EQ(header.find("include_entities"), std::string::npos);
}

TEST(OAuthHeader, EveryInputTakesPartInTheSignature) {
    const std::string url = "https://api.twitter.com/oauth/access_token";
    const OAuthParams pin = {{"oauth_verifier", "1"}};
    const std::string base = SignatureOf(MakeOAuthHeader(url, &pin, "k", "s", "t", "ts", kStamp));
    struct Row {
        const char* what;
        std::string header;
    } rows[] = {
        {"url", MakeOAuthHeader(url + "x", &pin, "k", "s", "t", "ts", kStamp)},
        {"extra", MakeOAuthHeader(url, nullptr, "k", "s", "t", "ts", kStamp)},
        {"consumer key", MakeOAuthHeader(url, &pin, "K", "s", "t", "ts", kStamp)},
        {"consumer secret", MakeOAuthHeader(url, &pin, "k", "S", "t", "ts", kStamp)},
        {"token", MakeOAuthHeader(url, &pin, "k", "s", "T", "ts", kStamp)},
        {"token secret", MakeOAuthHeader(url, &pin, "k", "s", "t", "TS", kStamp)},
        {"timestamp", MakeOAuthHeader(url, &pin, "k", "s", "t", "ts", {"1700000001", kStamp.nonce})},
        {"nonce", MakeOAuthHeader(url, &pin, "k", "s", "t", "ts", {kStamp.timestamp, "0ABC1F2E3D4D"})},
    };
    for (const Row& r : rows) EXPECT_NE(SignatureOf(r.header), base) << r.what;
}

TEST(OAuthHeader, EmptyCredentialsLeaveTheirParameterOut) {
    const std::string header = MakeOAuthHeader("http://h/p", nullptr, "", "", "", "", kStamp);
    EXPECT_EQ(header.find("oauth_consumer_key"), std::string::npos);
    EXPECT_EQ(header.find("oauth_token"), std::string::npos);
    EXPECT_EQ(header.rfind("Authorization: OAuth oauth_nonce=", 0), 0u);
    // The header's own parameters win over extra ones of the same name.
    const OAuthParams clash = {{"oauth_version", "2.0"}, {"oauth_nonce", "X"}};
    EXPECT_EQ(SignatureOf(MakeOAuthHeader("http://h/p", &clash, "", "", "", "", kStamp)),
              SignatureOf(header));
}

TEST(OAuthHeader, SignatureIsEncodedBase64OfTwentyBytes) {
    for (const char* secret : {"", "a", "%&=+ /", "\xE3\x81\x82"}) {
        const std::string sig = SignatureOf(
            MakeOAuthHeader("https://api.twitter.com/x", nullptr, "k", secret, "", "", kStamp));
        // 28 Base64 characters with one "=", which is encoded; "+" and "/" are too.
        EXPECT_TRUE(std::regex_match(sig, std::regex(
            "oauth_signature=\"([A-Za-z0-9]|%2B|%2F){27}%3D\""))) << sig;
    }
}

TEST(FormatNonce, FirstValuePaddedToFourDigitsOthersUnpadded) {
    struct Row {
        uint16_t values[4];
        const char* nonce;
    } rows[] = {
        {{0, 0, 0, 0}, "0000000"},                       // the shortest: 7 characters
        {{0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF}, "7FFF7FFF7FFF7FFF"},  // the longest: 16
        {{0xFFFF, 0x8000, 0x8001, 0xABCD}, "7FFF012BCD"},  // only 15 bits count
        {{0x1A, 0xB, 0xC0, 0xD00}, "001ABC0D00"},
    };
    for (const Row& r : rows) EXPECT_EQ(FormatNonce(r.values), r.nonce);
}

TEST(ParseFormReply, SplitsPiecesAsTheServiceSendsThem) {
    struct Row {
        const char* body;
        OAuthParams expected;
    } rows[] = {
        {"", {}},
        {"oauth_token=a&oauth_token_secret=b&oauth_callback_confirmed=true",
         {{"oauth_token", "a"}, {"oauth_token_secret", "b"}, {"oauth_callback_confirmed", "true"}}},
        {"junk&a=1", {{"a", "1"}}},                  // a piece without "=" is ignored
        {"a=b=c", {{"a", "b=c"}}},                   // value keeps later "="
        {"a=1&a=2", {{"a", "2"}}},                   // the last one wins
        {"a=%41+b", {{"a", "%41+b"}}},               // not decoded
        {"=v&k=&&", {{"", "v"}, {"k", ""}}},
        {"<html>Error</html>", {}},
    };
    for (const Row& r : rows) EXPECT_EQ(ParseFormReply(r.body), r.expected) << r.body;
}

}  // namespace
