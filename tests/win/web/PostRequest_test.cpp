// PostRequest against the loopback service: what goes on the wire, and every reply it must
// survive. Replies come back whatever their status; failures come back empty.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "LoopbackService.h"
#include "web/HttpRequest.h"

namespace {

using KYR::PostRequest;

// The /echo reply: one "name=value" line per thing the service saw.
std::map<std::string, std::string> Echo(const std::string& pathAndQuery,
                                        const std::string& header = "") {
    std::map<std::string, std::string> seen;
    std::istringstream lines(PostRequest(loopback::Get().Base() + pathAndQuery, header));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) seen[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return seen;
}

// Requests the service has seen, garbage included.
int Requests() {
    return std::stoi(loopback::HttpGet(loopback::Get().Base() + "/stats").substr(9));
}

TEST(PostRequest, QueryBecomesTheBody) {
    const std::string form = "application/x-www-form-urlencoded";
    const std::string auth = "Authorization: OAuth oauth_nonce=\"1\"";
    struct Row {
        const char* url;     // after the host
        std::string header;  // the caller's
        const char* target;  // the request line's path
        const char* body;
        std::string contentType;
    } rows[] = {
        {"/echo", "", "/echo", "", "None"},         // no body, no type
        {"/echo", auth, "/echo", "", "None"},
        {"/echo?a=1&b=2", "", "/echo", "a=1&b=2", form},
        {"/echo?a=1?b=2", auth, "/echo", "a=1?b=2", form},      // later "?" stay in the body
        {"/echo?oauth_verifier=12%2634", auth + "\r\n", "/echo", "oauth_verifier=12%2634",
         form},                                   // not re-encoded; a caller's line end kept
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.url + (" / " + r.header));
        auto seen = Echo(r.url, r.header);
        EXPECT_EQ(seen["method"], "POST");
        EXPECT_EQ(seen["target"], r.target);
        EXPECT_EQ(seen["body"], r.body);
        EXPECT_EQ(seen["content-type"], r.contentType);
        EXPECT_EQ(seen["authorization"], r.header.empty() ? "None" : "OAuth oauth_nonce=\"1\"");
    }
}

TEST(PostRequest, UsesThePortOfTheUrlAndSendsTheHeaderVerbatim) {
    const std::string header = "Authorization: OAuth oauth_nonce=\"1\",oauth_signature=\"a%3D\"";
    auto seen = Echo("/echo", header);
    EXPECT_EQ(seen["host"], "127.0.0.1:" + std::to_string(loopback::Get().port));
    EXPECT_EQ(seen["authorization"], "OAuth oauth_nonce=\"1\",oauth_signature=\"a%3D\"");
    EXPECT_EQ(seen["user-agent"], "HTTP Request");
}

TEST(PostRequest, RepliesComeBackWhateverTheirFraming) {
    struct Row {
        const char* path;
        std::string reply;
    } rows[] = {
        {"/fault/unauthorized", "error=refused by the service"},  // 401 body, as is
        {"/fault/chunked", "oauth_token=chunked&oauth_token_secret=reply"},  // no length
        {"/fault/close", "oauth_token=until&oauth_token_secret=close"},      // ends with close
        {"/fault/slow", "oauth_token=slowly&oauth_token_secret=written"},    // in pieces
        {"/fault/zero", "oauth_token=a"},                                    // cut at the zero
        {"/fault/limit", std::string(1024 * 1024, 'x')},                     // 1 MiB is allowed
        {"/fault/big", ""},                                                  // one byte more is not
        {"/no/such/page", "not found"},
    };
    for (const Row& r : rows) {
        const std::string reply = PostRequest(loopback::Get().Base() + r.path, "");
        EXPECT_EQ(reply.size(), r.reply.size()) << r.path;
        EXPECT_TRUE(reply == r.reply) << r.path << ": " << reply.substr(0, 80);
    }
}

TEST(PostRequest, FailuresGiveTheEmptyReply) {
    const std::string closed = "http://127.0.0.1:" + std::to_string(loopback::Get().closedPort);
    EXPECT_EQ(PostRequest(closed + "/x", ""), "");
    EXPECT_EQ(PostRequest("http://127.0.0.1:" + std::to_string(loopback::Get().port) + "x/", ""),
              "");  // a port that is not a number
    // TLS to a plain HTTP service fails its handshake.
    EXPECT_EQ(PostRequest("https://127.0.0.1:" + std::to_string(loopback::Get().port) + "/echo",
                          ""),
              "");
}

TEST(PostRequest, OtherSchemesAreRefusedBeforeAnyConnection) {
    const std::string hostPort = "127.0.0.1:" + std::to_string(loopback::Get().port);
    const int before = Requests();
    for (const std::string& url : {"HTTPS://" + hostPort + "/echo", "Http://" + hostPort + "/echo",
                                  "ftp://" + hostPort + "/echo", "https:" + hostPort + "/echo",
                                  "//" + hostPort + "/echo", std::string()})
        EXPECT_EQ(PostRequest(url, ""), "") << url;
    EXPECT_EQ(Requests(), before + 1);  // only the /stats request in between
}

}  // namespace
