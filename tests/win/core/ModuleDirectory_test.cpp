#include <gtest/gtest.h>

#include <string>

#include "app/ModuleDirectory.h"

namespace {

using KYR::ReadModuleDirectory;

// Behaves like GetModuleFileNameW on Vista and later for the path in `fakePath`.
std::wstring fakePath;
DWORD WINAPI FakeReader(HMODULE, LPWSTR buffer, DWORD size) {
    const DWORD length = static_cast<DWORD>(fakePath.size());
    if (length < size) {
        fakePath.copy(buffer, length);
        buffer[length] = L'\0';
        SetLastError(ERROR_SUCCESS);
        return length;
    }
    fakePath.copy(buffer, size - 1);
    buffer[size - 1] = L'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

TEST(ModuleDirectory, CutsAfterTheLastBackslash) {
    const std::wstring deep = L"C:\\" + std::wstring(300, L'd') + L"\\games\\";
    struct Row {
        std::wstring path;
        std::string directory;
    } rows[] = {
        {L"C:\\Games\\Demo\\GameConfig.exe", "C:\\Games\\Demo\\"},
        {L"C:\\GameConfig.exe", "C:\\"},                       // a drive root
        {deep + L"GameConfig.exe", std::string(deep.begin(), deep.end())},  // over MAX_PATH
        {std::wstring(259, L'x'), ""},                         // no backslash at all
        {L"", ""},
    };
    for (const Row& row : rows) {
        fakePath = row.path;
        EXPECT_EQ(ReadModuleDirectory(nullptr, FakeReader), row.directory)
            << std::string(row.path.begin(), row.path.end()).substr(0, 40);
    }
}

TEST(ModuleDirectory, AJapaneseFolderComesOutInShiftJis) {
    fakePath = L"C:\\\u30b2\u30fc\u30e0\\GameConfig.exe";  // ゲーム
    EXPECT_EQ(ReadModuleDirectory(nullptr, FakeReader), "C:\\ゲーム\\");
}

// What GetShortPathNameW gives for the folder in `fakeLong`: `fakeShort`, or 0 when empty.
std::wstring fakeShort;
DWORD WINAPI FakeShortReader(LPCWSTR, LPWSTR buffer, DWORD size) {
    if (fakeShort.empty()) return 0;
    const DWORD length = static_cast<DWORD>(fakeShort.size());
    if (length >= size) return length + 1;
    fakeShort.copy(buffer, length);
    buffer[length] = L'\0';
    return length;
}

TEST(ModuleDirectory, AFolderTheCodePageCannotSpellIsGivenByItsShortPath) {
    const std::wstring korean = L"C:\\\uac8c\uc784\\";  // 게임
    struct Row {
        std::wstring path, shortForm;
        std::string directory;
    } rows[] = {
        {korean + L"GameConfig.exe", L"C:\\GAME~1\\", "C:\\GAME~1\\"},
        {korean + L"GameConfig.exe", L"C:\\GAME~1", "C:\\GAME~1\\"},      // backslash added
        {korean + L"GameConfig.exe", L"C:\\" + std::wstring(300, L'S') + L"\\",  // long one
         "C:\\" + std::string(300, 'S') + "\\"},
        {korean + L"GameConfig.exe", L"", ""},                       // no short name
        {korean + L"GameConfig.exe", korean, ""},                    // 8.3 names switched off
        {korean + L"GameConfig.exe", L"C:\\\uac8c~1\\", ""},        // a short name no better
        {L"C:\\caf\u00e9\\GameConfig.exe", L"C:\\CAF~1\\", "C:\\CAF~1\\"},  // no best fit "e"
        {L"C:\\a\U0001F3AE\\GameConfig.exe", L"", ""},              // an emoji
        {L"C:\\Games\\GameConfig.exe", L"C:\\SHORT\\", "C:\\Games\\"},  // spelt: kept
    };
    for (const Row& row : rows) {
        fakePath = row.path;
        fakeShort = row.shortForm;
        EXPECT_EQ(ReadModuleDirectory(nullptr, FakeReader, FakeShortReader), row.directory)
            << std::string(row.shortForm.begin(), row.shortForm.end()).substr(0, 40);
    }
}

TEST(ModuleDirectory, ExactConversionOnly) {
    struct Row {
        std::wstring wide;
        bool exact;
        std::string ansi;
    } rows[] = {
        {L"C:\\Games\\", true, "C:\\Games\\"},
        {L"\u30b2\u30fc\u30e0\u8868", true, "ゲーム表"},  // 表 has 0x5C as its trail byte
        {L"\uac8c", false, ""},
        {L"\u00e9", false, ""},
        {L"?", true, "?"},                            // the default character itself is fine
        {L"", true, ""},
    };
    for (const Row& row : rows) {
        std::string ansi = "stale";
        EXPECT_EQ(KYR::ToAnsiExactly(row.wide, &ansi), row.exact) << row.ansi;
        EXPECT_EQ(ansi, row.ansi);
    }
}

// The real short name of a folder with Korean letters, where the system has one: it must
// name the same folder, so an INI written through it lands there.
TEST(ModuleDirectory, TheShortPathOfAKoreanFolderReachesTheFolder) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kyr\uac8c\uc784" +
                                std::to_wstring(GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    fakePath = folder + L"GameConfig.exe";
    const std::string directory = ReadModuleDirectory(nullptr, FakeReader);
    std::wstring shortForm(MAX_PATH, L'\0');
    shortForm.resize(GetShortPathNameW(folder.c_str(), &shortForm[0], MAX_PATH));
    if (shortForm.empty() || shortForm == folder) {
        EXPECT_EQ(directory, "") << "no short name: no directory rather than a wrong one";
    } else {
        ASSERT_FALSE(directory.empty());
        EXPECT_EQ(directory.back(), '\\');
        WritePrivateProfileStringA("General", "ConfigVersion", "2.0",
                                   (directory + "Game.ini").c_str());
        const std::wstring written = folder + L"Game.ini";
        EXPECT_NE(GetFileAttributesW(written.c_str()), INVALID_FILE_ATTRIBUTES);
        DeleteFileW(written.c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

TEST(ModuleDirectory, TheRealExecutableDirectoryEndsWithABackslash) {
    const std::string dir = ReadModuleDirectory(nullptr);
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    char exe[1024];
    GetModuleFileNameA(nullptr, exe, sizeof(exe));
    EXPECT_EQ(std::string(exe).rfind(dir, 0), 0u) << exe;
}

}  // namespace
