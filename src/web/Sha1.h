// SHA-1 of FIPS 180-4. Used only inside HMAC-SHA1 for OAuth 1.0a request signatures, where
// SHA-1's weak collision resistance does not matter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace clx {

class sha1 {
public:
    static constexpr size_t kDigestSize = 20;
    static constexpr size_t kBlockSize = 64;

    sha1() { Reset(); }
    virtual ~sha1() = default;

    // Back to the empty message: count zero, the initial chaining values of FIPS 180.
    void Reset();
    void Update(const void* data, size_t size);
    void Update(const std::string& bytes) { Update(bytes.data(), bytes.size()); }
    // Pads, appends the bit length and stores the digest; Reset() before hashing again.
    void Finish();
    // The 20-byte digest after Finish(), followed by a zero byte. Owned by the object.
    const unsigned char* Digest() const { return digest_; }
    std::string DigestBytes() const {
        return std::string(reinterpret_cast<const char*>(digest_), kDigestSize);
    }

private:
    void ProcessBlock(const unsigned char* block);

    uint32_t count_[2];  // bytes hashed so far: low word, high word
    uint32_t state_[5];
    unsigned char block_[kBlockSize];
    unsigned char digest_[kDigestSize + 1];
};

// The 20-byte SHA-1 digest of `bytes`.
std::string Sha1(const std::string& bytes);

}  // namespace clx
