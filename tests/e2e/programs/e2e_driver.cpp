// Drives the real GameConfig.exe from outside, as a player would, for the end-to-end tests.
// Runs in the same Wine prefix as the tool. Each argument is one step; the steps run in
// order and the first one that fails ends the run with exit code 1. What the steps read is
// printed one line each ("text 1001=..."), UTF-8, for the test script to compare.
//
//   find                 wait (60 s) for the sheet captioned "ゲームの設定"
//   window:CAPTION       wait (60 s) for another program's visible window with that caption;
//                        the steps after it act on that window as on the sheet
//   page:N               switch to tab N (0-based), as a click on the tab would
//   text:ID              print the text of control ID on the current page (or the sheet)
//   check:ID             print the check state of button ID
//   combo:ID             print the selected index and text of combo box ID
//   select:ID:N          select entry N of combo box ID and notify the page like a user pick
//   click:ID             press button ID (the sheet's OK=1, Cancel=2, Apply=12321, or a page's)
//   enabled:ID           print whether control ID is enabled
//   key:VK               press and release a virtual key with SendInput (sheet in front)
//   focus:ID             move the keyboard focus to control ID of the current page
//   focused              print the id of the control that has the focus
//   menu                 print "menu 1" while the tool is in menu mode or shows a menu
//   close                the window's close box (WM_SYSCOMMAND SC_CLOSE)
//   rect                 print the sheet's window rectangle
//   client               print the size of the window's client area ("client W,H")
//   screen               print the size of the screen ("screen W,H")
//   current              print the index of the page shown
//   shot:PATH            save the sheet's window, with any box it owns, as a 24-bit BMP
//   sleep:MS             wait, then let the tool catch up
//   gone                 wait (60 s) until the sheet window no longer exists
//   box:CAPTION[:BUTTON] wait (60 s) for a message box of the tool with that caption, print
//                        its text ("box CAPTION=TEXT") and press its button if one is given
//                        (1 OK, 6 Yes, 7 No)
//   nobox:CAPTION        print "nobox CAPTION" unless such a box is open
//   lines:ID             print "lines ID=CRLF,LF,END": the line ends of the control's text
//                        (CR LF pairs, bare LFs, and 1 when it ends with CR LF)
//   down:VK / up:VK      press or release a key alone (to hold it across other steps)
//   away                 put a window of the driver in front of the sheet
//   memory               print "memory N MB": the physical memory Windows reports to a program
//   back                 put the sheet in front again
//   front                print what is in front: "front sheet", "front box" (one the sheet
//                        owns), "front other" or "front none"
//   sheets               print "sheets N": the visible windows captioned like the sheet
//   run:PATH             run the program PATH in its own folder, wait (60 s) for it to end
//                        and print "exit N"
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

HWND g_sheet = nullptr;
const wchar_t kSheetCaption[] = L"\u30b2\u30fc\u30e0\u306e\u8a2d\u5b9a";  // ゲームの設定

std::string Utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring Wide(const std::string& s) {  // arguments arrive in the ANSI code page
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    return w;
}

bool Fail(const std::string& why) {
    std::printf("error %s\n", why.c_str());
    std::fflush(stdout);
    return false;
}

// The current page's control, else the sheet's own (OK, Cancel, Apply, the tab control).
HWND Control(int id) {
    HWND page = reinterpret_cast<HWND>(SendMessageW(g_sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND c = page ? GetDlgItem(page, id) : nullptr;
    return c ? c : GetDlgItem(g_sheet, id);
}

std::wstring WindowTextW(HWND h) {
    const int n = static_cast<int>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0));
    std::wstring w(n + 1, L'\0');
    SendMessageW(h, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(&w[0]));
    w.resize(n);
    return w;
}

// Waits are generous: under an emulator (kernels without 32-bit programs) the tool runs
// several times slower than natively. They only bound a failure; success ends them early.
constexpr int kDeadlineTicks = 600;  // of 100 ms

// Lets the tool's message loop catch up. A message sent to the sheet is answered only when the
// tool's thread next looks at its queue, that is once it has finished what it was doing; the
// later round trips come after what was posted before the first (a click) and after a timer
// tick that was due (the key page's 32 ms capture) have been handled. A bare sleep would
// only be long enough on a fast machine.
void Settle() {
    for (int i = 0; i < 3; ++i) {
        Sleep(50);
        DWORD_PTR ignored;
        if (g_sheet) SendMessageTimeoutW(g_sheet, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
    }
}

// The window's rectangle together with those of the visible windows it owns (a message box
// on the sheet), so a screenshot shows the box where the player sees it.
BOOL CALLBACK AddOwnedRect(HWND w, LPARAM param) {
    auto* pair = reinterpret_cast<std::pair<HWND, RECT*>*>(param);
    RECT r;
    if (GetWindow(w, GW_OWNER) == pair->first && IsWindowVisible(w) && GetWindowRect(w, &r))
        UnionRect(pair->second, pair->second, &r);
    return TRUE;
}

bool SaveWindowBmp(HWND h, const std::string& path) {
    RECT r;
    GetWindowRect(h, &r);
    std::pair<HWND, RECT*> owned(h, &r);
    EnumWindows(AddOwnedRect, reinterpret_cast<LPARAM>(&owned));
    const int w = r.right - r.left, hgt = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, hgt);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, hgt, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFOHEADER bi = {};
    bi.biSize = sizeof(bi);
    bi.biWidth = w;
    bi.biHeight = hgt;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * hgt);
    GetDIBits(mem, bmp, 0, hgt, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi),
              DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* f = _wfopen(Wide(path).c_str(), L"wb");
    if (!f) return false;
    fwrite(&fh, sizeof(fh), 1, f);
    fwrite(&bi, sizeof(bi), 1, f);
    fwrite(pixels.data(), 1, pixels.size(), f);
    fclose(f);
    return true;
}

// The keys a keyboard sends with the 0xE0 prefix: without the flag SendInput's arrows arrive
// as the number pad's (DirectInput 0x48 instead of 0xC8).
bool IsExtendedKey(WORD vk) {
    switch (vk) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_INSERT: case VK_DELETE:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT: case VK_RCONTROL: case VK_RMENU:
    case VK_DIVIDE: case VK_LWIN: case VK_RWIN: case VK_APPS:
        return true;
    default:
        return false;
    }
}

void SendKeyEdge(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof(INPUT));
}

HWND g_away = nullptr;

bool BringSheetToFront() {
    for (int i = 0; i < kDeadlineTicks && GetForegroundWindow() != g_sheet; ++i) {
        SetForegroundWindow(g_sheet);
        Sleep(10);
    }
    return GetForegroundWindow() == g_sheet;
}

void SendKey(WORD vk) {
    SendKeyEdge(vk, false);
    Settle();  // held across at least two of the key page's 32 ms ticks, however slow the tool
    SendKeyEdge(vk, true);
}

std::vector<std::string> Split(const std::string& s) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t colon = s.find(':', start);
        parts.push_back(s.substr(start, colon - start));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return parts;
}

bool Step(const std::string& step) {
    const std::vector<std::string> a = Split(step);
    const std::string& verb = a[0];
    auto num = [&](size_t i) { return i < a.size() ? std::atoi(a[i].c_str()) : 0; };

    if (verb == "find" || verb == "window") {
        const std::wstring caption = verb == "find" ? kSheetCaption : Wide(step.substr(7));
        g_sheet = nullptr;
        for (int i = 0; i < kDeadlineTicks && !g_sheet; ++i) {
            g_sheet = FindWindowW(nullptr, caption.c_str());
            if (!g_sheet || !IsWindowVisible(g_sheet)) {
                g_sheet = nullptr;
                Sleep(100);
            }
        }
        if (!g_sheet) return Fail("no window " + Utf8(caption));
        Settle();
        return true;
    }
    if (verb == "screen") {
        std::printf("screen %d,%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        std::fflush(stdout);
        return true;
    }
    if (verb == "gone") {
        for (int i = 0; i < kDeadlineTicks; ++i) {
            if (!IsWindow(g_sheet)) return true;
            Sleep(100);
        }
        return Fail("sheet still open");
    }
    if (verb == "box" || verb == "nobox") {
        const std::wstring caption = Wide(a.size() > 1 ? a[1] : "");
        HWND box = nullptr;
        const int tries = verb == "box" ? kDeadlineTicks : 1;
        for (int i = 0; i < tries && !box; ++i) {
            box = FindWindowW(L"#32770", caption.c_str());
            if (!box) Sleep(100);
        }
        if (verb == "nobox") {
            if (box) return Fail("a box is open: " + a[1]);
            std::printf("nobox %s\n", Utf8(caption).c_str());
            std::fflush(stdout);
            return true;
        }
        if (!box) return Fail("no box " + a[1]);
        // The text of a message box is the static control with id 0xFFFF.
        HWND text = GetDlgItem(box, 0xFFFF);
        std::string shown = text ? Utf8(WindowTextW(text)) : "";
        for (char& c : shown) if (c == '\n') c = '|';
        std::printf("box %s=%s\n", Utf8(caption).c_str(), shown.c_str());
        std::fflush(stdout);
        if (a.size() < 3) return true;  // only looked at
        HWND button = GetDlgItem(box, num(2));
        if (!button) return Fail("no button " + a[2]);
        PostMessageW(button, BM_CLICK, 0, 0);
        Settle();
        return true;
    }
    if (verb == "memory") {
        MEMORYSTATUSEX m = {};
        m.dwLength = sizeof(m);
        if (!GlobalMemoryStatusEx(&m)) return Fail("GlobalMemoryStatusEx");
        std::printf("memory %llu MB\n", static_cast<unsigned long long>(m.ullTotalPhys >> 20));
        std::fflush(stdout);
        return true;
    }
    if (verb == "sheets") {
        int count = 0;
        for (HWND w = FindWindowW(nullptr, kSheetCaption); w;
             w = FindWindowExW(nullptr, w, nullptr, kSheetCaption))
            count += IsWindowVisible(w) ? 1 : 0;
        std::printf("sheets %d\n", count);
        std::fflush(stdout);
        return true;
    }
    if (verb == "run") {
        std::wstring path = Wide(step.substr(4));
        std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
        std::wstring command = L"\"" + path + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &si, &pi))
            return Fail("cannot start " + step.substr(4));
        CloseHandle(pi.hThread);
        const DWORD waited = WaitForSingleObject(pi.hProcess, kDeadlineTicks * 100);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        if (waited != WAIT_OBJECT_0) return Fail("still running: " + step.substr(4));
        std::printf("exit %lu\n", code);
        std::fflush(stdout);
        Settle();
        return true;
    }
    if (verb == "sleep") {
        Sleep(num(1));
        Settle();
        return true;
    }
    if (!g_sheet) return Fail("no sheet: run find first");

    if (verb == "page") {
        SendMessageW(g_sheet, PSM_SETCURSEL, num(1), 0);
        Settle();
        return true;
    }
    if (verb == "text" || verb == "check" || verb == "combo" || verb == "enabled") {
        HWND c = Control(num(1));
        if (!c) return Fail("no control " + a[1]);
        if (verb == "text") {
            std::printf("text %s=%s\n", a[1].c_str(), Utf8(WindowTextW(c)).c_str());
        } else if (verb == "check") {
            std::printf("check %s=%d\n", a[1].c_str(),
                        static_cast<int>(SendMessageW(c, BM_GETCHECK, 0, 0)));
        } else if (verb == "enabled") {
            std::printf("enabled %s=%d\n", a[1].c_str(), IsWindowEnabled(c) ? 1 : 0);
        } else {
            const int sel = static_cast<int>(SendMessageW(c, CB_GETCURSEL, 0, 0));
            std::wstring item;
            if (sel >= 0) {
                const int n = static_cast<int>(SendMessageW(c, CB_GETLBTEXTLEN, sel, 0));
                item.assign(n + 1, L'\0');
                SendMessageW(c, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(&item[0]));
                item.resize(n);
            }
            std::printf("combo %s=%d:%s\n", a[1].c_str(), sel, Utf8(item).c_str());
        }
        std::fflush(stdout);
        return true;
    }
    if (verb == "lines") {
        HWND c = Control(num(1));
        if (!c) return Fail("no control " + a[1]);
        const std::wstring t = WindowTextW(c);
        int pairs = 0, bare = 0;
        for (size_t i = 0; i < t.size(); ++i)
            if (t[i] == L'\n') (i > 0 && t[i - 1] == L'\r') ? ++pairs : ++bare;
        const bool endsCrLf = t.size() >= 2 && t.compare(t.size() - 2, 2, L"\r\n") == 0;
        std::printf("lines %s=%d,%d,%d\n", a[1].c_str(), pairs, bare, endsCrLf ? 1 : 0);
        std::fflush(stdout);
        return true;
    }
    if (verb == "select") {
        HWND c = Control(num(1));
        if (!c) return Fail("no control " + a[1]);
        SendMessageW(c, CB_SETCURSEL, num(2), 0);
        // A pick with the mouse ends with CBN_SELCHANGE to the parent; do the same.
        SendMessageW(GetParent(c), WM_COMMAND, MAKEWPARAM(num(1), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(c));
        Settle();
        return true;
    }
    if (verb == "click") {
        HWND c = Control(num(1));
        if (!c) return Fail("no control " + a[1]);
        PostMessageW(c, BM_CLICK, 0, 0);  // posted: OK may end the tool's loop
        Settle();
        return true;
    }
    if (verb == "focus") {
        HWND c = Control(num(1));
        if (!c) return Fail("no control " + a[1]);
        SetForegroundWindow(g_sheet);
        HWND page = GetParent(c);
        SendMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
        Settle();
        return true;
    }
    if (verb == "focused") {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(g_sheet, nullptr), &info);
        std::printf("focused %d\n", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
        std::fflush(stdout);
        return true;
    }
    if (verb == "menu") {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(g_sheet, nullptr), &info);
        const bool mode = (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE));
        HWND popup = FindWindowW(L"#32768", nullptr);  // the class of every popup menu
        std::printf("menu %d\n", mode || (popup && IsWindowVisible(popup)) ? 1 : 0);
        std::fflush(stdout);
        return true;
    }
    if (verb == "key") {
        if (!BringSheetToFront()) return Fail("cannot put the sheet in front");
        SendKey(static_cast<WORD>(std::strtol(a[1].c_str(), nullptr, 0)));
        Settle();
        return true;
    }
    if (verb == "down" || verb == "up") {
        SendKeyEdge(static_cast<WORD>(std::strtol(a[1].c_str(), nullptr, 0)), verb == "up");
        Settle();
        return true;
    }
    if (verb == "away") {
        if (!g_away)
            g_away = CreateWindowExW(0, L"STATIC", L"away", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        for (int i = 0; i < kDeadlineTicks && GetForegroundWindow() != g_away; ++i) {
            SetForegroundWindow(g_away);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(10);
        }
        if (GetForegroundWindow() != g_away) return Fail("cannot put a window in front");
        Settle();
        return true;
    }
    if (verb == "front") {
        HWND front = GetForegroundWindow();
        const char* which = !front ? "none" : front == g_sheet ? "sheet"
                            : GetWindow(front, GW_OWNER) == g_sheet ? "box" : "other";
        std::printf("front %s\n", which);
        std::fflush(stdout);
        return true;
    }
    if (verb == "back") {
        if (!BringSheetToFront()) return Fail("cannot put the sheet in front");
        Settle();
        return true;
    }
    if (verb == "close") {
        PostMessageW(g_sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
        Settle();
        return true;
    }
    if (verb == "current") {
        HWND page = reinterpret_cast<HWND>(SendMessageW(g_sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        std::printf("current %d\n", static_cast<int>(SendMessageW(
                                         g_sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0)));
        std::fflush(stdout);
        return true;
    }
    if (verb == "rect") {
        RECT r;
        GetWindowRect(g_sheet, &r);
        std::printf("rect %ld,%ld,%ld,%ld\n", r.left, r.top, r.right, r.bottom);
        std::fflush(stdout);
        return true;
    }
    if (verb == "client") {
        RECT r;
        GetClientRect(g_sheet, &r);
        std::printf("client %ld,%ld\n", r.right, r.bottom);
        std::fflush(stdout);
        return true;
    }
    if (verb == "shot") {
        // The path may itself hold a colon (Z:\...): everything after "shot:" is the path.
        const std::string path = step.substr(5);
        RedrawWindow(g_sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Settle();
        Sleep(300);
        if (!SaveWindowBmp(g_sheet, path)) return Fail("cannot write " + path);
        return true;
    }
    return Fail("unknown step " + step);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (!Step(argv[i])) return 1;
    return 0;
}
