// Percent-encoding of OAuth 1.0a: only ASCII letters, digits and "-._~" stay as they are.
#pragma once

#include <string>

namespace KYR {

// Every other byte, space and bytes 0x80-0xFF included, becomes "%" and two upper-case
// hexadecimal digits. No character-set conversion: the bytes are encoded as they come.
std::string PercentEncode(const std::string& text);

}  // namespace KYR
