// Our signed requests judged by the loopback service (oauthlib), and the per-request values:
// the nonce comes from the system's random source, never from the C library's generator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>
#include <string>

#include "LoopbackService.h"
#include "web/FormReply.h"
#include "web/HttpRequest.h"
#include "web/OAuthHeader.h"

namespace {

using namespace KYR;

std::string RequestTokenUrl() { return loopback::Get().Base() + "/oauth/request_token"; }

std::string AskForRequestToken(const std::string& consumerSecret,
                               const char* callback = "oob") {
    const OAuthParams extra = {{"oauth_callback", callback ? callback : ""}};
    const std::string header = MakeOAuthHeader(RequestTokenUrl(), callback ? &extra : nullptr,
                                               loopback::kConsumerKey, consumerSecret, "", "");
    return PostRequest(RequestTokenUrl(), header);
}

std::string NonceOf(const std::string& header) {
    std::smatch m;
    return std::regex_search(header, m, std::regex("oauth_nonce=\"([^\"]*)\"")) ? m[1].str() : "";
}

TEST(OAuthSigning, TheServiceAcceptsOurSignature) {
    const OAuthParams reply = ParseFormReply(AskForRequestToken(loopback::kConsumerSecret));
    EXPECT_EQ(reply.count("oauth_token"), 1u);
    EXPECT_EQ(reply.count("oauth_token_secret"), 1u);
}

// What the service refuses at the request-token step, each with a body saying why.
TEST(OAuthSigning, TheServiceRefusesWithABody) {
    struct Row {
        const char* what;
        std::string secret;
        const char* callback;  // null: none sent
        const char* reply;
    } rows[] = {
        {"a wrong secret", "not the secret", "oob", "oauth refused: invalid signature"},
        {"no callback", loopback::kConsumerSecret, nullptr, "oauth refused: Missing callback URI."},
        {"a web callback", loopback::kConsumerSecret, "http://example.com/cb",
         "oauth refused: invalid callback"},
    };
    for (const Row& r : rows) {
        const std::string reply = AskForRequestToken(r.secret, r.callback);
        EXPECT_EQ(reply, r.reply) << r.what;
        EXPECT_EQ(ParseFormReply(reply).count("oauth_token"), 0u) << r.what;
    }
}

TEST(OAuthSigning, ManyHeadersInOneSecondAreAllAccepted) {
    // The service refuses a nonce it has seen with the same timestamp.
    for (int i = 0; i < 20; ++i) {
        const OAuthParams reply = ParseFormReply(AskForRequestToken(loopback::kConsumerSecret));
        ASSERT_EQ(reply.count("oauth_token"), 1u) << "request " << i;
    }
}

TEST(OAuthSigning, NoncesHaveTheirFormAndDoNotRepeat) {
    std::set<std::string> seen;
    const std::regex form("[0-9A-F]{7,16}");
    for (int i = 0; i < 2000; ++i) {
        const std::string nonce =
            NonceOf(MakeOAuthHeader("https://api.twitter.com/x", nullptr, "k", "s", "", ""));
        ASSERT_TRUE(std::regex_match(nonce, form)) << nonce;
        ASSERT_TRUE(seen.insert(nonce).second) << "repeated " << nonce;
    }
}

TEST(OAuthSigning, TheCLibraryGeneratorIsLeftAlone) {
    std::srand(77);
    const int expected[3] = {std::rand(), std::rand(), std::rand()};
    std::srand(77);
    const int first = std::rand();
    MakeOAuthHeader("https://api.twitter.com/x", nullptr, "k", "s", "", "");
    const int second = std::rand();
    MakeOAuthHeader("https://api.twitter.com/x", nullptr, "k", "s", "", "");
    const int third = std::rand();
    EXPECT_EQ(first, expected[0]);
    EXPECT_EQ(second, expected[1]);
    EXPECT_EQ(third, expected[2]);
}

TEST(OAuthSigning, TimestampIsTheCurrentTime) {
    std::smatch m;
    const std::string header = MakeOAuthHeader("https://api.twitter.com/x", nullptr, "k", "s", "", "");
    ASSERT_TRUE(std::regex_search(header, m, std::regex("oauth_timestamp=\"([0-9]+)\"")));
    const long long stamp = std::stoll(m[1].str());
    EXPECT_LE(std::llabs(stamp - static_cast<long long>(static_cast<uint32_t>(time(nullptr)))), 2);
}

}  // namespace
