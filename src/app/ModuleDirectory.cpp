#include "app/ModuleDirectory.h"

#include <vector>

namespace KYR {

std::string ReadModuleDirectory(HMODULE module, ModulePathReader reader) {
    // 32767 is the longest path Windows can hand out; stop there rather than loop forever.
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        length = reader(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        // A cut path fills the whole buffer (XP leaves it unterminated, later systems report
        // ERROR_INSUFFICIENT_BUFFER); either way, try again with more room.
        if (length < path.size() && GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        if (path.size() >= 32768) return std::string();
        path.resize(path.size() * 2);
    }
    std::wstring wide(path.data(), length);
    const size_t slash = wide.find_last_of(L'\\');
    wide.erase(slash == std::wstring::npos ? 0 : slash + 1);
    if (wide.empty()) return std::string();

    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string narrow(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &narrow[0],
                            bytes, nullptr, nullptr);
    return narrow;
}

std::string& GlobalModuleDirectory() {
    static std::string directory;
    return directory;
}

}  // namespace KYR
