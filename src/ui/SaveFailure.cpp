#include "ui/SaveFailure.h"

#include <string>
#include <vector>

#include "engine/core/MessageBox.h"
#include "settings/IniFile.h"

namespace {

const wchar_t kCaption[] = L"エラー";

std::wstring Widen(const std::string& ansi) {
    if (ansi.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                      nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
    return wide;
}

// The long form of an existing folder, or the folder as given.
std::wstring LongFolder(const std::wstring& folder) {
    const DWORD needed = GetLongPathNameW(folder.c_str(), nullptr, 0);
    if (needed == 0) return folder;
    std::vector<wchar_t> buffer(needed);
    const DWORD length = GetLongPathNameW(folder.c_str(), buffer.data(), needed);
    if (length == 0 || length >= needed) return folder;
    return std::wstring(buffer.data(), length);
}

// The path as the player knows it: widened, its folder in the long form (a short 8.3 path
// stands in for a folder the code page cannot spell). The folder, not the file, is looked up:
// the file may not exist yet, or may be what is in the way.
std::wstring PathForPlayer(const std::string& ansiPath) {
    const std::wstring path = Widen(ansiPath);
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return path;
    return LongFolder(path.substr(0, slash + 1)) + path.substr(slash + 1);
}

}  // namespace

void ShowSaveFailure(HWND sheet, const KYR::IniFile& file) {
    // Broken by hand: the box wraps long lines one character short of their end.
    const std::wstring text =
        L"設定を保存できませんでした。次のファイルに書き込めません。\n\n" +
        PathForPlayer(file.Path()) +
        L"\n\n"
        L"ゲームが「Program Files」などの保護された\n"
        L"フォルダーにあるときは、ゲームのフォルダーを\n"
        L"ドキュメントなどほかの場所へ移すか、この設定ツールを\n"
        L"右クリックして「管理者として実行」で起動してください。\n\n"
        L"読み取り専用のファイル、ほかのプログラムが\n"
        L"開いているファイル、空きのないディスクにも書き込めません。\n\n"
        L"設定は消えていません。原因を取り除いてから、\n"
        L"もう一度［OK］か［適用］を押してください。";
    KYR::ShowMessageBoxW(sheet, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

void ShowNoPlaceToSave(HWND sheet) {
    KYR::ShowMessageBoxW(
        sheet,
        L"設定を保存できませんでした。\n"
        L"ゲームのフォルダーの名前にこのシステムでは扱えない文字が含まれているため、"
        L"設定ファイルを読み書きできません。\n"
        L"フォルダーの名前を変えてから、もう一度設定してください。",
        kCaption, MB_OK | MB_ICONERROR);
}
