// Media type names ("wave", "MID", ...) as callers give them: how they are compared and which
// player and source type they stand for. No Windows API, so the host tree tests it.
#pragma once

#include <string>

namespace KYR {

// ASCII letters to lower case; the two bytes of a Shift-JIS double-byte character are kept
// as they are, since a trail byte may fall in the 'A'-'Z' range. Null gives "".
std::string LowerTypeName(const char* name);

enum class MediaKind {
    kWave,   // "wav", "wave"
    kMidi,   // "mid", "midi"
    kMp3,    // "mp3"
    kOther,
};
// Of a lower-cased name.
MediaKind KindOfTypeName(const std::string& lowerName);

// Whether the facade plays a stream of this (any-case) name through DirectShow. Only MIDI
// and MP3 go there, and only when the caller brings no reader of its own; WAVE and every
// other name stream through DirectSound.
bool UsesDirectShow(const char* typeName, bool hasReader);

}  // namespace KYR
