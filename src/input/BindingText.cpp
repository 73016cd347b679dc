#include "input/BindingText.h"

#include <cstdint>
#include <cstdio>

#include "input/KeyNames.h"

namespace KYR {
namespace {

// The C locale's white space, as the formatted-input functions skip it.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Optional sign and at least one decimal digit. Saturates instead of overflowing.
bool ReadDecimal(const char** cursor, int32_t* out) {
    const char* p = *cursor;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    if (*p < '0' || *p > '9') return false;
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value <= INT64_C(1) << 32) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    *out = static_cast<int32_t>(value);
    *cursor = p;
    return true;
}

// Optional sign, optional 0x/0X, at least one hex digit; kept modulo 2^32.
bool ReadHex(const char** cursor, int32_t* out) {
    const char* p = *cursor;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    // "0x" counts as a prefix only when a digit follows; "0xg" reads as the number 0.
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) p += 2;
    if (HexDigit(*p) < 0) return false;
    uint32_t value = 0;
    for (int d; (d = HexDigit(*p)) >= 0; ++p) value = (value << 4) | static_cast<uint32_t>(d);
    if (negative) value = 0u - value;
    *out = static_cast<int32_t>(value);
    *cursor = p;
    return true;
}

}  // namespace

std::string FormatBindingValue(const KeyBinding& binding) {
    char text[32];
    // The code goes through unsigned so that a negative code read from a file comes back
    // as the same 32-bit pattern ("-1" -> 0xFFFFFFFF -> -1).
    std::snprintf(text, sizeof(text), "%d,0x%02X", static_cast<int>(binding.device),
                  static_cast<unsigned>(static_cast<uint32_t>(binding.code)));
    return text;
}

bool ParseBindingValue(const char* text, KeyBinding* out) {
    if (!text) return false;
    KeyBinding b;
    const char* p = SkipBlanks(text);
    if (!ReadDecimal(&p, &b.device)) return false;
    p = SkipBlanks(p);
    if (*p == '\0') return false;  // the separator: any one character, but one is needed
    p = SkipBlanks(p + 1);
    if (!ReadHex(&p, &b.code)) return false;
    *out = b;
    return true;
}

std::string BindingDisplayText(const KeyBinding& binding) {
    if (binding.device == 0) return std::string("Key: ") + KeyName(binding.code);
    char prefix[32];
    std::snprintf(prefix, sizeof(prefix), "Joy%d: ", static_cast<int>(binding.device));
    return prefix + std::string(JoystickControlName(binding.code));
}

}  // namespace KYR
