// Loading one button's binding from a real profile file, as the key page does.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "input/BindingIni.h"
#include "input/BindingText.h"

namespace {

class TempIni {
public:
    explicit TempIni(const char* content) {
        char dir[MAX_PATH];
        GetTempPathA(sizeof(dir), dir);
        char file[MAX_PATH];
        GetTempFileNameA(dir, "kyr", 0, file);
        path_ = file;
        HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, content, static_cast<DWORD>(strlen(content)), &written, nullptr);
        CloseHandle(h);
    }
    ~TempIni() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TEST(BindingIni, ReadsTheButtonsKeyOrFallsBackToTheDefault) {
    TempIni ini(
        "[KeyConfig1]\r\n"
        "UP=0,0xC8\r\n"
        "DOWN=\r\n"
        "LEFT=abc\r\n"
        "RIGHT=2;1b\r\n"
        "BTN1=7,0x05\r\n"
        "BTN12=  0,0x2c  \r\n"
        "[KeyConfig2]\r\n"
        "UP=0,0x10\r\n");
    struct Row {
        int player, button;
        const char* text;
        const char* display;
    } rows[] = {
        {1, 0, "0,0xC8", "Key: ↑"},
        {1, 1, "1,0x01", "Joy1: ↓"},      // present but empty
        {1, 2, "1,0x02", "Joy1: ←"},      // unreadable
        {1, 3, "2;1b", "Joy2: 12"},       // kept as written
        {1, 4, "7,0x05", "Joy7: ZINC"},
        {1, 5, "1,0x11", "Joy1: 2"},      // missing key
        {1, 15, "0,0x2c", "Key: Z"},      // the profile read trims blanks
        {2, 0, "0,0x10", "Key: Q"},
        {2, 1, "2,0x01", "Joy2: ↓"},
        {4, 15, "4,0x1B", "Joy4: 12"},    // missing section
    };
    for (const Row& row : rows) {
        const KYR::LoadedBinding loaded = KYR::LoadBindingFromIni(ini.Path(), row.player, row.button);
        EXPECT_EQ(loaded.text, row.text) << row.player << "/" << row.button;
        EXPECT_EQ(KYR::BindingDisplayText(loaded.binding), row.display) << row.player << "/" << row.button;
    }
}

TEST(BindingIni, OutOfRangeOrNoPathReadsNothing) {
    TempIni ini("[KeyConfig1]\r\nUP=0,0xC8\r\n[KeyConfig5]\r\nUP=0,0x2C\r\n");
    struct Row {
        std::string path;
        int player, button;
        const char* text;
    } rows[] = {
        {ini.Path(), 1, 16, ""},       // a null key would read the section's key list
        {ini.Path(), 5, 0, ""},        // the section exists, the player does not
        {ini.Path(), 0, 0, ""},
        {"", 1, 0, "1,0x00"},          // no folder: the default, not a file elsewhere
    };
    for (const Row& row : rows) {
        const KYR::LoadedBinding loaded = KYR::LoadBindingFromIni(row.path, row.player, row.button);
        EXPECT_EQ(loaded.text, row.text) << row.player << "/" << row.button << " " << row.path;
    }
}

TEST(BindingIni, AMissingFileGivesTheDefaults) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof(dir), dir);
    const std::string path = std::string(dir) + "kyr-no-such-file.ini";
    DeleteFileA(path.c_str());
    EXPECT_EQ(KYR::LoadBindingFromIni(path, 3, 4).text, "3,0x10");
}

}  // namespace
