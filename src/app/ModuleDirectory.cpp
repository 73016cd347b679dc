#include "app/ModuleDirectory.h"

#include <vector>

namespace KYR {

namespace {

// The short form of a directory, or empty when there is none that differs from it. Volumes
// with 8.3 names switched off (common on newer Windows) give the long path back unchanged.
std::wstring ShortDirectory(const std::wstring& directory, ShortPathReader shortPath) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            shortPath(directory.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        // Too small: the length needed, the terminator included, comes back.
        if (length >= buffer.size()) {
            buffer.resize(length + 1);
            continue;
        }
        std::wstring result(buffer.data(), length);
        if (result == directory) return std::wstring();
        if (result.back() != L'\\') result += L'\\';
        return result;
    }
    return std::wstring();
}

}  // namespace

bool ToAnsiExactly(const std::wstring& wide, std::string* ansi) {
    ansi->clear();
    if (wide.empty()) return true;
    const int wideLength = static_cast<int>(wide.size());
    // No best fit: "é" would otherwise quietly become "e" and name another folder.
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
                                          nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault) return false;
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, &narrow[0], bytes,
                        nullptr, &usedDefault);
    if (usedDefault) return false;
    // The round trip settles what the flags may miss on some code pages.
    const int back = MultiByteToWideChar(CP_ACP, 0, narrow.data(), bytes, nullptr, 0);
    std::wstring again(static_cast<size_t>(back > 0 ? back : 0), L'\0');
    if (back > 0) MultiByteToWideChar(CP_ACP, 0, narrow.data(), bytes, &again[0], back);
    if (again != wide) return false;
    *ansi = std::move(narrow);
    return true;
}

std::wstring ReadModuleDirectoryW(HMODULE module, ModulePathReader reader) {
    // 32767 is the longest path Windows can hand out; stop there rather than loop forever.
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        length = reader(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        // A cut path fills the whole buffer (XP leaves it unterminated, later systems report
        // ERROR_INSUFFICIENT_BUFFER); either way, try again with more room.
        if (length < path.size() && GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
    std::wstring wide(path.data(), length);
    const size_t slash = wide.find_last_of(L'\\');
    wide.erase(slash == std::wstring::npos ? 0 : slash + 1);
    return wide;
}

std::string ReadModuleDirectory(HMODULE module, ModulePathReader reader,
                                ShortPathReader shortPath) {
    const std::wstring wide = ReadModuleDirectoryW(module, reader);
    if (wide.empty()) return std::string();

    std::string narrow;
    if (ToAnsiExactly(wide, &narrow)) return narrow;
    const std::wstring shortForm = ShortDirectory(wide, shortPath);
    if (!shortForm.empty() && ToAnsiExactly(shortForm, &narrow)) return narrow;
    return std::string();
}

std::string& GlobalModuleDirectory() {
    static std::string directory;
    return directory;
}

}  // namespace KYR
