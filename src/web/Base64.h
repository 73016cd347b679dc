// Base64 of RFC 4648 (standard alphabet, "=" padding, no line breaks). Used for the OAuth
// signature and for the stored form of the keys in Game.ini and System.ini, which the game
// reads with its own decoder: the encoder's output must stay exactly this.
#pragma once

#include <string>

namespace KYR {

std::string Base64Encode(const std::string& bytes);

// The decoded bytes. "=" is skipped wherever it stands. Any other character outside the
// alphabet (white space and line ends included) throws std::runtime_error("wrong base64
// encoded data"); a text whose last group holds a single character throws std::out_of_range.
std::string Base64Decode(const std::string& text);

}  // namespace KYR
