// The stored form of the web-service keys, which the game decodes: exact values for known
// texts, round trips, the odd pad byte and the 4096-byte limit.
#include <gtest/gtest.h>

#include <string>

#include "web/Base64.h"
#include "web/StoredKey.h"

namespace {

using namespace KYR;

TEST(StoredKey, KnownStoredValues) {
    struct Row {
        std::string text;
        const char* stored;
    } rows[] = {
        {"key&secret", "a355PXN+Y2llbw=="},
        {"tok&sec", "dHRrPXN+Yxs="},     // odd: the scrambled pad byte 0x1B is stored too
        {"", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(MakeStoredKey(r.text), r.stored) << r.text;
        EXPECT_EQ(ReadStoredKey(r.stored).text, r.text);
        EXPECT_FALSE(ReadStoredKey(r.stored).rewrite);
    }
}

TEST(StoredKey, ScrambleRoundTripsAndOddTextsCoverOneMoreByte) {
    for (size_t n = 0; n < 40; ++n) {
        std::string text;
        for (size_t i = 0; i < n; ++i) text += static_cast<char>('!' + (i * 13) % 90);
        const std::string scrambled = ScrambleKey(text);
        EXPECT_EQ(scrambled.size(), n + n % 2) << n;
        for (size_t i = 0; i < n; i += 2) EXPECT_EQ(scrambled[i], text[i]);  // even bytes stay
        EXPECT_EQ(UnscrambleKey(scrambled), text);
        EXPECT_EQ(UnscrambleKey(Base64Decode(MakeStoredKey(text))), text);
    }
}

TEST(StoredKey, TextsAreCutTo4096Bytes) {
    const std::string longText(5000, 'x');
    EXPECT_EQ(ScrambleKey(longText).size(), kMaxKeyText);
    EXPECT_EQ(Base64Decode(MakeStoredKey(longText)).size(), kMaxKeyText);
    EXPECT_EQ(UnscrambleKey(ScrambleKey(longText)), longText.substr(0, kMaxKeyText));
    // Read side: decoded bytes beyond 4096 are ignored.
    EXPECT_EQ(UnscrambleKey(std::string(5000, 'y')).size(), kMaxKeyText);
    // A 4097-byte text loses its last byte, so no pad byte is added.
    EXPECT_EQ(ScrambleKey(std::string(4097, 'z')).size(), kMaxKeyText);
}

TEST(StoredKey, APlainValueIsConvertedToTheStoredForm) {
    struct Row {
        std::string value;
        bool rewrite;
        std::string text;
    } rows[] = {
        {"key&secret", true, "key&secret"},                  // "&" is not Base64
        {"a355PXN+Y2llbw==", false, "key&secret"},
        {"with space", true, "with space"},
        {"Z", true, "Z"},                                    // a lone Base64 character
        {std::string(5000, '&'), true, std::string(4096, '&')},  // cut like the stored form
        {"", false, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.value.substr(0, 20));
        const StoredKeyText read = ReadStoredKey(r.value);
        EXPECT_EQ(read.rewrite, r.rewrite);
        EXPECT_EQ(read.text, r.text);
        if (r.rewrite) {
            EXPECT_EQ(read.rewrittenValue, MakeStoredKey(r.value));
            // The rewritten value reads back as the same text without another rewrite.
            const StoredKeyText again = ReadStoredKey(read.rewrittenValue);
            EXPECT_FALSE(again.rewrite);
            EXPECT_EQ(again.text, read.text);
        }
    }
}

TEST(StoredKey, PairsSplitAtTheFirstAmpersand) {
    struct Row {
        const char* text;
        const char* key;
        const char* secret;
    } rows[] = {
        {"k&s", "k", "s"}, {"k&s&t", "k", "s&t"}, {"nokey", "", ""},
        {"&s", "", "s"},   {"k&", "k", ""},       {"", "", ""},
    };
    for (const Row& r : rows) {
        const KeyPair pair = SplitKeyPair(r.text);
        EXPECT_EQ(pair.key, r.key) << r.text;
        EXPECT_EQ(pair.secret, r.secret) << r.text;
    }
    EXPECT_EQ(JoinKeyPair("t", "s"), "t&s");
    EXPECT_EQ(JoinKeyPair("", "s"), "");
    EXPECT_EQ(JoinKeyPair("t", ""), "");
}

}  // namespace
