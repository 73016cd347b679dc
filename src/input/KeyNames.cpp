#include "input/KeyNames.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "input/KeyBinding.h"

namespace KYR {
namespace {

struct NamedCode {
    uint8_t code;
    const char* name;
};

// Only the keys a player may bind are named. Caps lock (0x3A), kana (0x70), kanji (0x94)
// and the media, power and web keys stay unnamed on purpose. Two keys of the Japanese
// layout share their glyphs with others: 0x1B and 0x29 both show "]", 0x28 and 0x92 ":".
// 0x2B and 0x7D are one backslash each (a yen sign on Japanese systems).
constexpr NamedCode kNamedCodes[] = {
    {0x01, "ESC"}, {0x02, "1"}, {0x03, "2"}, {0x04, "3"}, {0x05, "4"}, {0x06, "5"},
    {0x07, "6"}, {0x08, "7"}, {0x09, "8"}, {0x0A, "9"}, {0x0B, "0"}, {0x0C, "-"},
    {0x0D, "="}, {0x0E, "BS"}, {0x0F, "Tab"}, {0x10, "Q"}, {0x11, "W"}, {0x12, "E"},
    {0x13, "R"}, {0x14, "T"}, {0x15, "Y"}, {0x16, "U"}, {0x17, "I"}, {0x18, "O"},
    {0x19, "P"}, {0x1A, "["}, {0x1B, "]"}, {0x1C, "Return"}, {0x1D, "Ctrl(Left)"},
    {0x1E, "A"}, {0x1F, "S"}, {0x20, "D"}, {0x21, "F"}, {0x22, "G"}, {0x23, "H"},
    {0x24, "J"}, {0x25, "K"}, {0x26, "L"}, {0x27, ";"}, {0x28, ":"}, {0x29, "]"},
    {0x2A, "Shift(Left)"}, {0x2B, "\\"}, {0x2C, "Z"}, {0x2D, "X"}, {0x2E, "C"},
    {0x2F, "V"}, {0x30, "B"}, {0x31, "N"}, {0x32, "M"}, {0x33, ","}, {0x34, "."},
    {0x35, "/"}, {0x36, "Shift(Right)"}, {0x37, "*"}, {0x38, "Alt(Left)"},
    {0x39, "Space"}, {0x3B, "F1"}, {0x3C, "F2"}, {0x3D, "F3"}, {0x3E, "F4"},
    {0x3F, "F5"}, {0x40, "F6"}, {0x41, "F7"}, {0x42, "F8"}, {0x43, "F9"}, {0x44, "F10"},
    {0x45, "NumLock"}, {0x46, "Scroll"}, {0x47, "7(Num)"}, {0x48, "8(Num)"},
    {0x49, "9(Num)"}, {0x4A, "-(Num)"}, {0x4B, "4(Num)"}, {0x4C, "5(Num)"},
    {0x4D, "6(Num)"}, {0x4E, "+"}, {0x4F, "1(Num)"}, {0x50, "2(Num)"}, {0x51, "3(Num)"},
    {0x52, "0(Num)"}, {0x53, ".(Num)"}, {0x57, "F11"}, {0x58, "F12"}, {0x64, "F13"},
    {0x65, "F14"}, {0x66, "F15"}, {0x79, "変換"}, {0x7B, "無変換"}, {0x7D, "\\"},
    {0x8D, "=(Num)"}, {0x90, "^"}, {0x91, "@"}, {0x92, ":"}, {0x93, "_"}, {0x95, "Stop"},
    {0x9C, "Enter(Num)"}, {0x9D, "Ctrl(Right)"}, {0xB3, "."}, {0xB5, "/"},
    {0xB7, "PrnSc"}, {0xB8, "Alt(Right)"}, {0xC5, "Pause"}, {0xC7, "Home"}, {0xC8, "↑"},
    {0xC9, "PageUP"}, {0xCB, "←"}, {0xCD, "→"}, {0xCF, "END"}, {0xD0, "↓"},
    {0xD1, "PageDN"}, {0xD2, "Insert"}, {0xD3, "Delete"}, {0xDB, "Windows(Left)"},
    {0xDC, "Windows(Right)"}, {0xDD, "Menu"},
};
static_assert(sizeof(kNamedCodes) / sizeof(kNamedCodes[0]) == 116, "116 named scan codes");

constexpr const char* kJoystickNames[kJoystickControlCount] = {
    "↑", "↓", "←", "→", "ZDEC", "ZINC", "↑(R)", "↓(R)", "←(R)", "→(R)", "ZDEC(R)",
    "ZINC(R)", "↑(POV)", "↓(POV)", "←(POV)", "→(POV)", "1", "2", "3", "4", "5", "6", "7",
    "8", "9", "10", "11", "12", "13", "14", "15", "16",
};

const std::array<const char*, kScanCodeCount>& KeyTable() {
    static const std::array<const char*, kScanCodeCount> table = [] {
        std::array<const char*, kScanCodeCount> t;
        t.fill("");
        for (const NamedCode& n : kNamedCodes) t[n.code] = n.name;
        return t;
    }();
    return table;
}

}  // namespace

const char* KeyName(int scanCode) {
    if (scanCode < 0 || scanCode >= kScanCodeCount) return "";
    return KeyTable()[static_cast<std::size_t>(scanCode)];
}

const char* JoystickControlName(int control) {
    if (control < 0 || control >= kJoystickControlCount) return "";
    return kJoystickNames[control];
}

const char* KeyNameTableEntry(int index) {
    if (index < kJoystickNameBase) return KeyName(index);
    return JoystickControlName(index - kJoystickNameBase);
}

}  // namespace KYR
