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

TEST(ModuleDirectory, TheRealExecutableDirectoryEndsWithABackslash) {
    const std::string dir = ReadModuleDirectory(nullptr);
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    char exe[1024];
    GetModuleFileNameA(nullptr, exe, sizeof(exe));
    EXPECT_EQ(std::string(exe).rfind(dir, 0), 0u) << exe;
}

}  // namespace
