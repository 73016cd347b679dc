#include "web/HmacSha1.h"

#include "web/Sha1.h"

namespace KYR {

std::string HmacSha1(const std::string& key, const std::string& data) {
    // A key longer than one block is replaced by its digest; a shorter one is zero-padded.
    std::string block = key.size() > clx::sha1::kBlockSize ? clx::Sha1(key) : key;
    block.resize(clx::sha1::kBlockSize, '\0');

    std::string innerPad(block), outerPad(block);
    for (size_t i = 0; i < block.size(); ++i) {
        innerPad[i] = static_cast<char>(block[i] ^ 0x36);
        outerPad[i] = static_cast<char>(block[i] ^ 0x5C);
    }
    clx::sha1 inner;
    inner.Update(innerPad);
    if (!data.empty()) inner.Update(data);
    inner.Finish();

    clx::sha1 outer;
    outer.Update(outerPad);
    outer.Update(inner.Digest(), clx::sha1::kDigestSize);
    outer.Finish();
    return outer.DigestBytes();
}

}  // namespace KYR
