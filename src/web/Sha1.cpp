#include "web/Sha1.h"

#include <cstring>

namespace clx {

namespace {

uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

uint32_t LoadBigEndian(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void StoreBigEndian(uint32_t v, unsigned char* p) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

}  // namespace

void sha1::Reset() {
    count_[0] = count_[1] = 0;
    state_[0] = 0x67452301;
    state_[1] = 0xEFCDAB89;
    state_[2] = 0x98BADCFE;
    state_[3] = 0x10325476;
    state_[4] = 0xC3D2E1F0;
    std::memset(block_, 0, sizeof(block_));
    std::memset(digest_, 0, sizeof(digest_));
}

void sha1::ProcessBlock(const unsigned char* block) {
    uint32_t w[80];
    for (int t = 0; t < 16; ++t) w[t] = LoadBigEndian(block + 4 * t);
    for (int t = 16; t < 80; ++t) w[t] = Rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);

    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
    for (int t = 0; t < 80; ++t) {
        uint32_t f, k;
        if (t < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (t < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (t < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        const uint32_t temp = Rotl(a, 5) + f + e + k + w[t];
        e = d;
        d = c;
        c = Rotl(b, 30);
        b = a;
        a = temp;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
}

void sha1::Update(const void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const size_t used = count_[0] % kBlockSize;
        const size_t take = size < kBlockSize - used ? size : kBlockSize - used;
        std::memcpy(block_ + used, p, take);
        // The count is a 64-bit byte count kept as two words.
        const uint32_t before = count_[0];
        count_[0] += static_cast<uint32_t>(take);
        if (count_[0] < before) ++count_[1];
        p += take;
        size -= take;
        if (used + take == kBlockSize) ProcessBlock(block_);
    }
}

void sha1::Finish() {
    // The message length in bits, big-endian, taken before the padding changes the count.
    unsigned char length[8];
    StoreBigEndian(count_[1] << 3 | count_[0] >> 29, length);
    StoreBigEndian(count_[0] << 3, length + 4);

    static const unsigned char kPad[kBlockSize] = {0x80};
    const size_t used = count_[0] % kBlockSize;
    Update(kPad, used < 56 ? 56 - used : 120 - used);
    Update(length, sizeof(length));
    for (int i = 0; i < 5; ++i) StoreBigEndian(state_[i], digest_ + 4 * i);
    digest_[kDigestSize] = 0;
}

std::string Sha1(const std::string& bytes) {
    sha1 hash;
    hash.Update(bytes);
    hash.Finish();
    return hash.DigestBytes();
}

}  // namespace clx
