#include "engine/media/graph/MediaTypeName.h"

namespace KYR {
namespace {

// Lead bytes of Shift-JIS (code page 932) double-byte characters.
bool IsShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

std::string LowerTypeName(const char* name) {
    std::string out;
    if (!name) return out;
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (IsShiftJisLead(c) && p[1] != '\0') {
            out.push_back(*p);
            out.push_back(*++p);
            continue;
        }
        out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : *p);
    }
    return out;
}

MediaKind KindOfTypeName(const std::string& lowerName) {
    if (lowerName == "wav" || lowerName == "wave") return MediaKind::kWave;
    if (lowerName == "mid" || lowerName == "midi") return MediaKind::kMidi;
    if (lowerName == "mp3") return MediaKind::kMp3;
    return MediaKind::kOther;
}

bool UsesDirectShow(const char* typeName, bool hasReader) {
    if (hasReader) return false;
    const MediaKind kind = KindOfTypeName(LowerTypeName(typeName));
    return kind == MediaKind::kMidi || kind == MediaKind::kMp3;
}

}  // namespace KYR
