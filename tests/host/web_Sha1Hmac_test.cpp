// SHA-1 against FIPS 180 examples and HMAC-SHA1 against the RFC 2202 test cases.
#include <gtest/gtest.h>

#include <string>

#include "web/HmacSha1.h"
#include "web/Sha1.h"

namespace {

std::string Hex(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kHex[c >> 4];
        hex += kHex[c & 15];
    }
    return hex;
}

TEST(Sha1, Fips180Examples) {
    struct Row {
        std::string message;
        const char* digest;
    } rows[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        // 56 bytes: the padding needs a second block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    };
    for (const Row& r : rows) EXPECT_EQ(Hex(clx::Sha1(r.message)), r.digest) << r.message.size();
}

TEST(Sha1, PiecewiseUpdatesMatchOneUpdate) {
    // Pieces that straddle block boundaries in every way.
    std::string message;
    for (int i = 0; i < 1000; ++i) message += static_cast<char>(i * 7);
    const std::string whole = clx::Sha1(message);
    for (size_t piece : {1u, 3u, 55u, 63u, 64u, 65u, 200u}) {
        clx::sha1 hash;
        for (size_t at = 0; at < message.size(); at += piece)
            hash.Update(message.substr(at, piece));
        hash.Finish();
        EXPECT_EQ(hash.DigestBytes(), whole) << piece;
        EXPECT_EQ(hash.Digest()[clx::sha1::kDigestSize], 0);
    }
    clx::sha1 reused;
    reused.Update("garbage");
    reused.Finish();
    reused.Reset();
    reused.Update(message);
    reused.Finish();
    EXPECT_EQ(reused.DigestBytes(), whole);
}

TEST(HmacSha1, Rfc2202TestCases) {
    struct Row {
        std::string key;
        std::string data;
        const char* mac;
    } rows[] = {
        {std::string(20, '\x0b'), "Hi There", "b617318655057264e28bc0b6fb378c8ef146be00"},
        {"Jefe", "what do ya want for nothing?", "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
        {std::string(20, '\xaa'), std::string(50, '\xdd'),
         "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
        {"\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15"
         "\x16\x17\x18\x19",
         std::string(50, '\xcd'), "4c9007f4026250c6bc8414f9bf50c86c2d7235da"},
        {std::string(20, '\x0c'), "Test With Truncation", "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04"},
        // 80-byte keys: hashed first.
        {std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
         "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
        {std::string(80, '\xaa'),
         "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
         "e8e99d0f45237d786d6bbaa7965c7808bbff1a91"},
    };
    for (const Row& r : rows) EXPECT_EQ(Hex(KYR::HmacSha1(r.key, r.data)), r.mac) << r.data;
}

TEST(HmacSha1, KeyOfExactlyOneBlockIsNotHashed) {
    // 64 bytes are used as they are; 65 are replaced by their digest, which zero-pads to
    // the same block as the digest itself used as the key.
    const std::string key64(64, 'k'), key65(65, 'k');
    EXPECT_NE(KYR::HmacSha1(key64, "x"), KYR::HmacSha1(clx::Sha1(key64), "x"));
    EXPECT_EQ(KYR::HmacSha1(key65, "x"), KYR::HmacSha1(clx::Sha1(key65), "x"));
}

}  // namespace
