// Taking request URLs apart: scheme, host, port, path and the query sent as the body.
#include <gtest/gtest.h>

#include <string>

#include "web/UrlParts.h"

namespace {

using KYR::SplitUrl;
using KYR::UrlParts;

TEST(SplitUrl, Pieces) {
    struct Row {
        const char* url;
        bool secure;
        const char* host;
        int port;
        const char* path;
        const char* query;
    } rows[] = {
        {"https://api.twitter.com/oauth/request_token", true, "api.twitter.com", 443,
         "/oauth/request_token", ""},
        {"https://api.twitter.com", true, "api.twitter.com", 443, "/", ""},
        {"http://h/p?a=1&b=2", false, "h", 80, "/p", "a=1&b=2"},
        {"http://h/p?a=1?b=2", false, "h", 80, "/p", "a=1?b=2"},   // later "?" stay in the body
        {"http://h/p?", false, "h", 80, "/p", ""},
        {"http://h?x=1", false, "h?x=1", 80, "/", ""},            // no "/" after the host
        {"http://127.0.0.1:8080/x", false, "127.0.0.1", 8080, "/x", ""},
        {"https://h:1/", true, "h", 1, "/", ""},
        {"http://h:65535", false, "h", 65535, "/", ""},
        {"http://h:/x", false, "h", 80, "/x", ""},                // empty port: the default
        {"http://[::1]:81/x", false, "[::1]", 81, "/x", ""},
        {"http://[::1]/x", false, "[::1]", 80, "/x", ""},
        {"http:x//h/p", false, "h", 80, "/p", ""},                // text before "//" is ignored
        {"https:///p", true, "", 443, "/p", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.url);
        UrlParts p;
        ASSERT_TRUE(SplitUrl(r.url, &p));
        EXPECT_EQ(p.secure, r.secure);
        EXPECT_EQ(p.host, r.host);
        EXPECT_EQ(p.port, r.port);
        EXPECT_EQ(p.path, r.path);
        EXPECT_EQ(p.query, r.query);
    }
}

TEST(SplitUrl, RefusedUrlsLeaveThePartsAlone) {
    for (const char* url : {"ftp://h/p", "HTTPS://h/p", "Http://h/p", "https:h/p", "https:/h",
                            "", "http", "//h/p", "http://h:0/", "http://h:65536/",
                            "http://h:8o/", "http://h:-1/", "http://h:123456/"}) {
        UrlParts p;
        p.host = "untouched";
        EXPECT_FALSE(SplitUrl(url, &p)) << url;
        EXPECT_EQ(p.host, "untouched") << url;
    }
}

}  // namespace
