// The Base64 codec: RFC 4648 answers, round trips over every byte value, and the decoder's
// rules for characters outside the alphabet.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "web/Base64.h"

namespace {

using KYR::Base64Decode;
using KYR::Base64Encode;

TEST(Base64, Rfc4648TestVectors) {
    struct Row {
        const char* bytes;
        const char* text;
    } rows[] = {
        {"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},       {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Base64Encode(r.bytes), r.text);
        EXPECT_EQ(Base64Decode(r.text), r.bytes);
    }
}

TEST(Base64, RoundTripsEveryByteAtEveryLength) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(255 - i);
    for (size_t n = 0; n <= bytes.size(); ++n) {
        const std::string text = Base64Encode(bytes.substr(0, n));
        EXPECT_EQ(text.size(), (n + 2) / 3 * 4);
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(Base64Decode(text), bytes.substr(0, n)) << n;
    }
    EXPECT_EQ(Base64Encode("\xfb\xff"), "+/8=");  // the last two alphabet characters
}

TEST(Base64, DecoderSkipsPadsAnywhere) {
    struct Row {
        const char* text;
        const char* bytes;
    } rows[] = {
        {"Zm9v=YmFy", "foobar"},   // a pad in the middle
        {"=Zm9vYmFy", "foobar"},   // in front
        {"Zg", "f"},               // no pads at all
        {"Zm8", "fo"},
        {"Zg======", "f"},
        {"====", ""},
    };
    for (const Row& r : rows) EXPECT_EQ(Base64Decode(r.text), r.bytes) << r.text;
}

TEST(Base64, DecoderRefusesCharactersOutsideTheAlphabet) {
    for (const char* text : {"key&secret", "Zm9v YmFy", "Zm9v\nYmFy", "Zm9v\r\n", "Zm9v\t",
                             "Zm9v-_", "Zm9v\x80", "Zm9v."}) {
        try {
            Base64Decode(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "wrong base64 encoded data");
        }
    }
    // An embedded zero byte is outside the alphabet too.
    EXPECT_THROW(Base64Decode(std::string("Zm\0v", 4)), std::runtime_error);
}

TEST(Base64, DecoderRefusesAFinalSingleCharacter) {
    for (const char* text : {"Z", "Zm9vY", "Zm9vY===", "Zm9v=Y"})
        EXPECT_THROW(Base64Decode(text), std::out_of_range) << text;
}

}  // namespace
