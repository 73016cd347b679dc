#include "settings/GeneralValues.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace KYR {
namespace settings {
namespace {

bool IsShiftJisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace

std::string LowerAscii(const std::string& text) {
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsShiftJisLeadByte(c)) {
            ++i;  // the trail byte may be 0x40..0x7E: not a letter of its own
            continue;
        }
        if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool ReadYesNo(const std::string& text, bool emptyValue) {
    if (text.empty()) return emptyValue;
    return LowerAscii(text) == "yes";
}

const char* WriteYesNo(bool value) { return value ? "Yes" : "No"; }

int32_t ReadMaxVRAMCacheSize(const std::string& text) {
    const std::string v = LowerAscii(text);
    if (v.empty() || v == "0") return 0;
    if (v == "512") return 512;
    return 256;
}

int32_t ReadMaxFileCacheSize(const std::string& text) {
    const std::string v = LowerAscii(text);
    if (v == "512") return 512;
    if (v.empty() || v == "256") return 256;
    return 128;
}

int32_t ReadScreenSize(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE) return 0;
    return (value >= 0 && value <= 4) ? static_cast<int32_t>(value) : 0;
}

std::string WriteDecimal(int32_t value) { return std::to_string(value); }

int VRAMCacheSizeToEntry(int32_t value) { return value == 0 ? 0 : value == 512 ? 1 : 2; }
int32_t VRAMCacheSizeFromEntry(int entry) { return entry == 0 ? 0 : entry == 1 ? 512 : 256; }
int FileCacheSizeToEntry(int32_t value) { return value == 512 ? 0 : value == 256 ? 1 : 2; }
int32_t FileCacheSizeFromEntry(int entry) { return entry == 0 ? 512 : entry == 1 ? 256 : 128; }
int ScreenSizeToEntry(int32_t value) { return 4 - value; }
// A list with no selection (-1) must not become a size the game does not know.
int32_t ScreenSizeFromEntry(int entry) { return entry >= 0 && entry <= 4 ? 4 - entry : 0; }

}  // namespace settings
}  // namespace KYR
