// The stored form of the web-service keys ("ApplicationKey" in System.ini, "AccessKey" in
// Game.ini): Base64 of the scrambled text "key&secret". The game decodes the same form, so
// every byte of it is fixed.
#pragma once

#include <cstdint>
#include <string>

namespace KYR {

// Every 16-bit little-endian unit of the text is XORed with it: odd bytes change, even
// bytes stay.
constexpr uint16_t ScrambleMask = 0x1B00;
// Longer texts are cut to this many bytes, when stored and when read.
constexpr size_t kMaxKeyText = 4096;

// At most the first 4096 bytes, padded with a zero byte to an even count, scrambled, and cut
// before the first zero byte of the result (so an odd text keeps its scrambled pad byte).
std::string ScrambleKey(const std::string& text);
// The inverse on decoded bytes: at most 4096 of them, unscrambled, up to the first zero byte.
std::string UnscrambleKey(const std::string& bytes);

// What a stored value stands for, and whether the file must be rewritten.
struct StoredKeyText {
    std::string text;             // the plain "key&secret" text
    bool rewrite = false;         // the value was plain text, not the stored form
    std::string rewrittenValue;   // the stored form of `text`, when `rewrite`
};
// `value` as read from the file. A value that is not Base64 is plain text to be converted
// (a key and secret joined by "&" never are Base64: "&" is outside the alphabet).
StoredKeyText ReadStoredKey(const std::string& value);
// The value to write for a text ("" for "").
std::string MakeStoredKey(const std::string& text);

// The parts before and after the first "&"; both empty when there is no "&".
struct KeyPair {
    std::string key;
    std::string secret;
};
KeyPair SplitKeyPair(const std::string& text);
// "key&secret", or "" unless both are non-empty.
std::string JoinKeyPair(const std::string& key, const std::string& secret);

}  // namespace KYR
