#include "web/Base64.h"

#include <stdexcept>

namespace KYR {

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
const char kPad = kAlphabet[64];

// The 6-bit value of an alphabet character, -1 for the pad, -2 for anything else.
int SextetOf(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    if (c == static_cast<unsigned char>(kPad)) return -1;
    return -2;
}

}  // namespace

std::string Base64Encode(const std::string& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        text += kAlphabet[v >> 18 & 63];
        text += kAlphabet[v >> 12 & 63];
        text += kAlphabet[v >> 6 & 63];
        text += kAlphabet[v & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        text += kAlphabet[v >> 18 & 63];
        text += kAlphabet[v >> 12 & 63];
        text += rest == 2 ? kAlphabet[v >> 6 & 63] : kPad;
        text += kPad;
    }
    return text;
}

std::string Base64Decode(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3 + 2);
    unsigned group = 0;
    int inGroup = 0;
    for (unsigned char c : text) {
        const int sextet = SextetOf(c);
        if (sextet == -1) continue;
        if (sextet < 0) throw std::runtime_error("wrong base64 encoded data");
        group = group << 6 | static_cast<unsigned>(sextet);
        if (++inGroup == 4) {
            bytes += static_cast<char>(group >> 16 & 0xFF);
            bytes += static_cast<char>(group >> 8 & 0xFF);
            bytes += static_cast<char>(group & 0xFF);
            group = 0;
            inGroup = 0;
        }
    }
    switch (inGroup) {
    case 1:
        throw std::out_of_range("base64 data ends in a single character");
    case 2:
        bytes += static_cast<char>(group >> 4 & 0xFF);
        break;
    case 3:
        bytes += static_cast<char>(group >> 10 & 0xFF);
        bytes += static_cast<char>(group >> 2 & 0xFF);
        break;
    default:
        break;
    }
    return bytes;
}

}  // namespace KYR
