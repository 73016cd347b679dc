// The value rules of Game.ini's [General] section: every text a player or another program
// may have left in a key maps to one of the values the game accepts. No Windows API here,
// so the rules build natively too.
#pragma once

#include <cstdint>
#include <string>

namespace KYR {
namespace settings {

// ASCII letters to lower case; the second byte of a Shift-JIS character is left alone even
// where it looks like an ASCII capital.
std::string LowerAscii(const std::string& text);

// "yes" in any letter case is true; any other text is false, except the empty text (a key
// that is present but empty), which reads as `emptyValue`.
bool ReadYesNo(const std::string& text, bool emptyValue);
const char* WriteYesNo(bool value);  // "Yes" or "No"

// "0" -> 0, "512" -> 512, empty -> 0, anything else -> 256.
int32_t ReadMaxVRAMCacheSize(const std::string& text);
// "512" -> 512, "256" -> 256, empty -> 256, anything else -> 128.
int32_t ReadMaxFileCacheSize(const std::string& text);
// A decimal integer (leading blanks and a sign allowed, trailing text ignored); 0 to 4 kept,
// anything else, including text that is no number, -> 0.
int32_t ReadScreenSize(const std::string& text);

std::string WriteDecimal(int32_t value);

// List positions of the general page. The lists are filled by inserting at the top, so entry
// 0 is the last inserted text.
int VRAMCacheSizeToEntry(int32_t value);   // 0 -> 0, 512 -> 1, 256 -> 2
int32_t VRAMCacheSizeFromEntry(int entry);  // 0 -> 0, 1 -> 512, else 256
int FileCacheSizeToEntry(int32_t value);   // 512 -> 0, 256 -> 1, 128 -> 2
int32_t FileCacheSizeFromEntry(int entry);  // 0 -> 512, 1 -> 256, else 128
int ScreenSizeToEntry(int32_t value);      // 4 - value
int32_t ScreenSizeFromEntry(int entry);     // 4 - entry; 0 for no entry

}  // namespace settings
}  // namespace KYR
