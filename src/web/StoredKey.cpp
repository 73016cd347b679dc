#include "web/StoredKey.h"

#include <exception>

#include "web/Base64.h"

namespace KYR {

namespace {

const char kMaskHigh = static_cast<char>(ScrambleMask >> 8);
static_assert((ScrambleMask & 0xFF) == 0, "the low byte of every unit stays as it is");

// XOR over the odd offsets is the same as the mask on every little-endian unit.
std::string FlipOddBytes(std::string bytes) {
    for (size_t i = 1; i < bytes.size(); i += 2) bytes[i] ^= kMaskHigh;
    return bytes;
}

std::string UpToZero(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

}  // namespace

std::string ScrambleKey(const std::string& text) {
    std::string bytes = text.substr(0, kMaxKeyText);
    if (bytes.size() % 2) bytes += '\0';
    return UpToZero(FlipOddBytes(bytes));
}

std::string UnscrambleKey(const std::string& bytes) {
    return UpToZero(FlipOddBytes(bytes.substr(0, kMaxKeyText)));
}

StoredKeyText ReadStoredKey(const std::string& value) {
    StoredKeyText result;
    if (value.empty()) return result;
    try {
        result.text = UnscrambleKey(Base64Decode(value));
        return result;
    } catch (const std::exception&) {
        // Not Base64: a plain value, converted to the stored form.
    }
    // The text is what the rewritten value will read back as next time (cut to 4096 bytes).
    result.rewrite = true;
    try {
        const std::string scrambled = ScrambleKey(value);
        result.rewrittenValue = Base64Encode(scrambled);
        result.text = UnscrambleKey(scrambled);
    } catch (const std::exception&) {
        // Out of memory while encoding: the key is written back empty.
        result.rewrittenValue.clear();
        result.text = value.substr(0, kMaxKeyText);
    }
    return result;
}

std::string MakeStoredKey(const std::string& text) { return Base64Encode(ScrambleKey(text)); }

KeyPair SplitKeyPair(const std::string& text) {
    const size_t amp = text.find('&');
    if (amp == std::string::npos) return {};
    return {text.substr(0, amp), text.substr(amp + 1)};
}

std::string JoinKeyPair(const std::string& key, const std::string& secret) {
    return key.empty() || secret.empty() ? std::string() : key + '&' + secret;
}

}  // namespace KYR
