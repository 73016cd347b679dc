#include "app/SingleInstance.h"

#include <cstdio>
#include <vector>

namespace KYR {
namespace {

const wchar_t kSheetCaption[] = L"ゲームの設定";
const wchar_t kDialogClass[] = L"#32770";

// The folder as the file system knows it, volume and file number: the same for every
// spelling of its path (short or long names, letter case).
bool FolderIdentity(const std::wstring& folder, std::wstring* identity) {
    ScopedHandle handle(CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                                           FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle.Valid() || !GetFileInformationByHandle(handle.Get(), &info)) return false;
    wchar_t text[40];
    swprintf(text, sizeof(text) / sizeof(text[0]), L"%08lX-%08lX%08lX", info.dwVolumeSerialNumber,
             info.nFileIndexHigh, info.nFileIndexLow);
    *identity = text;
    return true;
}

// The directory of the program a window belongs to.
std::wstring ProcessFolder(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process.Valid()) return std::wstring();
    std::vector<wchar_t> path(32768);
    DWORD length = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.Get(), 0, path.data(), &length)) return std::wstring();
    std::wstring folder(path.data(), length);
    folder.erase(folder.find_last_of(L'\\') + 1);
    return folder;
}

struct SheetSearch {
    std::wstring identity;
    HWND found = nullptr;
};

BOOL CALLBACK MatchSheet(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<SheetSearch*>(param);
    wchar_t text[64] = {};
    if (!IsWindowVisible(window) || !GetClassNameW(window, text, 64) ||
        wcscmp(text, kDialogClass) != 0)
        return TRUE;
    if (!GetWindowTextW(window, text, 64) || wcscmp(text, kSheetCaption) != 0) return TRUE;
    std::wstring identity;
    if (!FolderIdentity(ProcessFolder(window), &identity) || identity != search->identity)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

SingleInstance::SingleInstance(const std::wstring& folder) {
    std::wstring identity;
    if (folder.empty() || !FolderIdentity(folder, &identity)) return;
    // Per session: a sheet in another session could not be shown to this player anyway.
    const std::wstring name = L"Local\\KYR.GameConfig." + identity;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    mutex_.Reset(mutex);
    // A copy started as administrator makes a mutex this one may not open: it exists all
    // the same.
    first_ = !(error == ERROR_ALREADY_EXISTS || (!mutex && error == ERROR_ACCESS_DENIED));
}

bool ShowRunningSheet(const std::wstring& folder, DWORD waitMs) {
    SheetSearch search;
    if (!FolderIdentity(folder, &search.identity)) return false;
    const DWORD start = GetTickCount();
    for (;;) {
        EnumWindows(MatchSheet, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= waitMs) break;
        Sleep(100);
    }
    if (!search.found) return false;
    if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
    // The box the sheet waits on, when one is open; else the sheet itself.
    SetForegroundWindow(GetLastActivePopup(search.found));
    return true;
}

}  // namespace KYR
