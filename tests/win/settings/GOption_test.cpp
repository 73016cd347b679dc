// The settings model against real INI files in a temporary folder.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "TempGameFolder.h"
#include "input/BindingDefaults.h"
#include "settings/GOption.h"

namespace {

std::string Section(const std::string& name, const std::string& body) {
    return "[" + name + "]\r\n" + body;
}

// Sixteen lines of [KeyConfig1] in key order from a list of values.
std::string KeyLines(const std::string (&values)[16]) {
    std::string s;
    for (int b = 0; b < 16; ++b) s += std::string(KYR::BindingIniKey(b)) + "=" + values[b] + "\r\n";
    return s;
}

std::string DefaultKeyLines() {
    std::string v[16];
    for (int b = 0; b < 16; ++b) v[b] = KYR::DefaultBindingText(1, b);
    return KeyLines(v);
}

TEST(GOption, LoadGeneralAppliesTheValueRules) {
    struct Row {
        const char* general;  // the [General] body of Game.ini, "" for no file
        bool full, menu, fps;
        int32_t vram, file, screen;
    } rows[] = {
        {"", false, true, false, 0, 256, 0},  // no Game.ini: the read defaults
        {"FullScreen=YES\r\nShowMenu=No\r\nShowFPS=yes\r\n", true, false, true, 0, 256, 0},
        {"FullScreen=1\r\n", false, true, false, 0, 256, 0},
        {"FullScreen=\r\nShowMenu=\r\nShowFPS=\r\n", false, true, false, 0, 256, 0},  // empty
        {"MaxVRAMCacheSize=1024\r\nMaxFileCacheSize=64\r\n", false, true, false, 256, 128, 0},
        {"MaxVRAMCacheSize=\r\nMaxFileCacheSize=\r\nScreenSize=\r\n", false, true, false, 0, 256, 0},
        {"MaxVRAMCacheSize=512\r\nMaxFileCacheSize=512\r\nScreenSize=3\r\n", false, true, false, 512, 512, 3},
        {"ScreenSize=7\r\n", false, true, false, 0, 256, 0},
        {"ScreenSize=-1\r\n", false, true, false, 0, 256, 0},
        {"ScreenSize=abc\r\n", false, true, false, 0, 256, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.general);
        TempGameFolder folder;
        if (*r.general) folder.Write("Game.ini", Section("General", r.general));
        CGOption option(folder.Dir());
        option.LoadGeneralPage();
        EXPECT_EQ(option.fullScreen_, r.full);
        EXPECT_EQ(option.showMenu_, r.menu);
        EXPECT_EQ(option.showFPS_, r.fps);
        EXPECT_EQ(option.MaxVRAMCacheSize, r.vram);
        EXPECT_EQ(option.MaxFileCacheSize, r.file);
        EXPECT_EQ(option.ScreenSize, r.screen);
        EXPECT_TRUE(option.highQuality_);
    }
}

TEST(GOption, SaveWithoutPagesWritesVersionAndAValidKeyConfig1) {
    std::string shipped[16];
    for (int b = 0; b < 16; ++b) shipped[b] = "0,0x" + std::string(b < 10 ? "1" : "2") + "E";
    std::string broken[16];
    for (int b = 0; b < 16; ++b) broken[b] = KYR::DefaultBindingText(1, b);
    broken[0] = "0,0xC8";   // kept as it stands
    broken[1] = "abc";      // unreadable: the built-in default
    broken[2] = "";         // present but empty: the built-in default
    broken[3] = "2;1b";     // any separator, no prefix: kept as written
    std::string repaired[16];
    for (int b = 0; b < 16; ++b) repaired[b] = broken[b];
    repaired[1] = KYR::DefaultBindingText(1, 1);
    repaired[2] = KYR::DefaultBindingText(1, 2);

    struct Row {
        const char* what;
        std::string system;  // System.ini, "" for none
        std::string game;    // Game.ini before the save, "" for none
        std::string expectedKeys;
    } rows[] = {
        {"first save takes System.ini's shipped bindings", Section("KeyConfig1", KeyLines(shipped)),
         "", KeyLines(shipped)},
        {"no file at all gives the built-in defaults", "", "", DefaultKeyLines()},
        {"Game.ini's own bindings survive, repaired",
         Section("KeyConfig1", KeyLines(shipped)), Section("KeyConfig1", KeyLines(broken)),
         KeyLines(repaired)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TempGameFolder folder;
        if (!r.system.empty()) folder.Write("System.ini", r.system);
        if (!r.game.empty()) folder.Write("Game.ini", r.game);
        CGOption option(folder.Dir());
        option.SaveSettings();
        const std::string written = folder.Read("Game.ini");
        if (r.game.empty()) {
            EXPECT_EQ(written, "[General]\r\nConfigVersion=2.0\r\n[KeyConfig1]\r\n" + r.expectedKeys);
        } else {
            EXPECT_NE(written.find("[KeyConfig1]\r\n" + r.expectedKeys), std::string::npos)
                << written;
            EXPECT_NE(written.find("ConfigVersion=2.0"), std::string::npos);
        }
    }
}

TEST(GOption, SavedGeneralValuesReadBackAndSaveAgainIdentically) {
    TempGameFolder folder;
    folder.Write("Game.ini", Section("General", "FullScreen=YES\r\nMaxVRAMCacheSize=1024\r\n"
                                                "MaxFileCacheSize=64\r\nScreenSize=abc\r\n"));
    {
        CGOption option(folder.Dir());
        option.LoadGeneralPage();
        option.generalPageInitialised_ = true;
        option.SaveSettings();
    }
    const std::string first = folder.Read("Game.ini");
    EXPECT_NE(first.find("FullScreen=Yes\r\n"), std::string::npos) << first;
    EXPECT_NE(first.find("MaxVRAMCacheSize=256\r\n"), std::string::npos) << first;
    EXPECT_NE(first.find("MaxFileCacheSize=128\r\n"), std::string::npos) << first;
    EXPECT_NE(first.find("ScreenSize=0\r\n"), std::string::npos) << first;
    EXPECT_NE(first.find("ShowMenu=Yes\r\nShowFPS=No\r\n"), std::string::npos) << first;
    {
        // Apply then OK, or a later run that changes nothing: the same bytes.
        CGOption option(folder.Dir());
        option.LoadGeneralPage();
        option.generalPageInitialised_ = true;
        option.SaveSettings();
        EXPECT_EQ(folder.Read("Game.ini"), first);
        option.SaveSettings();
        EXPECT_EQ(folder.Read("Game.ini"), first);
    }
}

// What a protected folder does to a player's save: nothing reaches the file. A folder in the
// file's place refuses every writer, root included (the read-only attribute means nothing to
// root under Wine); so does a handle that shares nothing, as another program's lock would.
// The save says so, the model keeps the player's choice, and once the obstacle is gone the
// same model saves it.
TEST(GOption, ASaveThatDoesNotReachGameIniFailsAndKeepsTheModel) {
    struct Row {
        const char* what;
        bool folderInPlace;  // else an existing Game.ini held open without sharing
        bool keyPage;        // the key page's sixteen fields, else the validated [KeyConfig1]
    } rows[] = {
        {"a folder named Game.ini", true, false},
        {"a folder named Game.ini, key page opened", true, true},
        {"a lock held by another program", false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TempGameFolder folder;
        const std::string before = Section("General", "FullScreen=No\r\n");
        if (r.folderInPlace)
            ASSERT_TRUE(folder.BlockWithFolder("Game.ini"));
        else
            folder.Write("Game.ini", before);
        CGOption option(folder.Dir());
        option.LoadGeneralPage();
        option.generalPageInitialised_ = true;
        option.fullScreen_ = true;
        HWND field = CreateWindowA("EDIT", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        if (r.keyPage) {
            option.keyPageInitialised_ = true;
            option.bindingFields_[0][0] = field;
            option.bindingTexts_[field] = "0,0x2C";
        }
        HANDLE lock = r.folderInPlace ? INVALID_HANDLE_VALUE
                                      : CreateFileA(folder.Path("Game.ini").c_str(), GENERIC_READ,
                                                    0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(r.folderInPlace || lock != INVALID_HANDLE_VALUE);
        EXPECT_FALSE(option.SaveSettings());
        EXPECT_TRUE(option.fullScreen_);
        if (r.folderInPlace) {
            EXPECT_TRUE(GetFileAttributesA(folder.Path("Game.ini").c_str()) &
                        FILE_ATTRIBUTE_DIRECTORY);
            RemoveDirectoryA(folder.Path("Game.ini").c_str());
        } else {
            CloseHandle(lock);
            EXPECT_EQ(folder.Read("Game.ini"), before);
        }
        EXPECT_TRUE(option.SaveSettings());
        const std::string saved = folder.Read("Game.ini");
        EXPECT_NE(saved.find("FullScreen=Yes\r\n"), std::string::npos) << saved;
        EXPECT_EQ(saved.find("UP=0,0x2C\r\n") != std::string::npos, r.keyPage) << saved;
        DestroyWindow(field);
    }
}

// A folder the program cannot name comes as an empty directory. The profile functions would
// take a bare "Game.ini" for the file in the Windows folder: that one must be neither read
// nor written.
TEST(GOption, WithoutADirectoryNothingIsReadOrWritten) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string stray = std::string(windows) + "\\Game.ini";
    const std::string content = Section("General", "FullScreen=Yes\r\nScreenSize=4\r\n") +
                                Section("KeyConfig1", "UP=0,0x2C\r\n");
    ASSERT_EQ(GetFileAttributesA(stray.c_str()), INVALID_FILE_ATTRIBUTES) << stray;
    {
        std::ofstream(stray, std::ios::binary) << content;
    }
    CGOption option("");
    option.LoadGeneralPage();
    EXPECT_FALSE(option.fullScreen_);
    EXPECT_EQ(option.ScreenSize, 0);
    EXPECT_FALSE(option.GameIni().Exists());
    option.generalPageInitialised_ = true;
    option.fullScreen_ = true;
    EXPECT_FALSE(option.SaveSettings());
    std::ifstream in(stray, std::ios::binary);
    std::stringstream after;
    after << in.rdbuf();
    in.close();
    DeleteFileA(stray.c_str());
    EXPECT_EQ(after.str(), content);
    EXPECT_TRUE(option.fullScreen_) << "the model keeps the player's choice";
}

}  // namespace
