#include "ui/GeneralPage.h"

#include "engine/core/MessageBox.h"
#include "engine/core/StartupMark.h"
#include "resources/resource.h"
#include "settings/GOption.h"
#include "settings/GeneralValues.h"
#include "ui/PageHelpers.h"

using namespace KYR;

namespace {

void FillList(HWND list, std::initializer_list<const char*> bottomToTop) {
    // Inserted at the top one after another: the last text inserted shows first.
    for (const char* text : bottomToTop)
        SendMessageA(list, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// A drop-down list's height in a template includes its open list; make room for all entries.
void ShowAllEntries(HWND list, int entries) {
    RECT r;
    GetWindowRect(list, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(list), reinterpret_cast<POINT*>(&r), 2);
    const int itemHeight = static_cast<int>(SendMessageA(list, CB_GETITEMHEIGHT, 0, 0));
    const int height = entries * itemHeight + (r.bottom - r.top) + 2;
    SetWindowPos(list, nullptr, 0, 0, r.right - r.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Selection(HWND list) { return static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)); }
bool Ticked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void InitGeneralPage(HWND page, CGOption& o) {
    CenterSheetOnce(page);
    o.generalPage_ = page;
    o.warningText_ = GetDlgItem(page, IDC_QUALITY_WARNING);
    o.vramList_ = GetDlgItem(page, IDC_VRAM_CACHE);
    o.fileCacheList_ = GetDlgItem(page, IDC_FILE_CACHE);
    o.screenSizeList_ = GetDlgItem(page, IDC_SCREEN_SIZE);
    o.fullScreenBox_ = GetDlgItem(page, IDC_FULLSCREEN);
    o.showMenuBox_ = GetDlgItem(page, IDC_SHOW_MENU);
    o.showFPSBox_ = GetDlgItem(page, IDC_SHOW_FPS);
    o.highQualityBox_ = GetDlgItem(page, IDC_HIGH_QUALITY);

    FillList(o.vramList_, {"小", "大", "最大"});
    FillList(o.fileCacheList_, {"小", "中", "大"});
    FillList(o.screenSizeList_, {"1.0", "1.5", "2.0", "2.5", "3.0"});
    ShowAllEntries(o.screenSizeList_, 5);
    MarkStartup("general page filled");
    o.LoadGeneralPage();
    MarkStartup("general page loaded");
    o.generalPageInitialised_ = true;
}

// Clearing the high-quality box needs the player's consent; No ticks it again.
void HighQualityClicked(CGOption& o) {
    if (Ticked(o.highQualityBox_)) {
        o.highQuality_ = true;
        return;
    }
    const int answer = ShowMessageBox(
        o.sheet_,
        "このパラメータをオフにするとパフォーマンスが低下したり\n画質が著しく低下します。続行しますか？",
        "確認", MB_YESNO | MB_ICONWARNING);
    if (answer == IDYES)
        o.highQuality_ = false;
    else
        SendMessageA(o.highQualityBox_, BM_SETCHECK, BST_CHECKED, 0);
}

void GeneralCommand(HWND page, CGOption& o, int id) {
    using namespace settings;
    const int32_t oldVram = o.MaxVRAMCacheSize, oldFile = o.MaxFileCacheSize,
                  oldScreen = o.ScreenSize;
    const bool oldFull = o.fullScreen_, oldMenu = o.showMenu_, oldFps = o.showFPS_,
               oldQuality = o.highQuality_;
    switch (id) {
    case IDC_VRAM_CACHE: o.MaxVRAMCacheSize = VRAMCacheSizeFromEntry(Selection(o.vramList_)); break;
    case IDC_FILE_CACHE: o.MaxFileCacheSize = FileCacheSizeFromEntry(Selection(o.fileCacheList_)); break;
    case IDC_SCREEN_SIZE: o.ScreenSize = ScreenSizeFromEntry(Selection(o.screenSizeList_)); break;
    case IDC_FULLSCREEN: o.fullScreen_ = Ticked(o.fullScreenBox_); break;
    case IDC_SHOW_MENU: o.showMenu_ = Ticked(o.showMenuBox_); break;
    case IDC_SHOW_FPS: o.showFPS_ = Ticked(o.showFPSBox_); break;
    case IDC_HIGH_QUALITY: HighQualityClicked(o); break;
    default: return;
    }
    const bool changed = oldVram != o.MaxVRAMCacheSize || oldFile != o.MaxFileCacheSize ||
                         oldScreen != o.ScreenSize || oldFull != o.fullScreen_ ||
                         oldMenu != o.showMenu_ || oldFps != o.showFPS_ ||
                         oldQuality != o.highQuality_;
    if (changed) NotifyPageChanged(page);
}

}  // namespace

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage([&](CGOption& o) -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            InitGeneralPage(page, o);
            return 0;
        case WM_COMMAND:
            // Commands that arrive while the lists are being filled are not the player's.
            if (o.generalPageInitialised_) GeneralCommand(page, o, LOWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == o.warningText_) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, RGB(255, 0, 0));
                SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
            }
            return 0;
        default:
            return 0;
        }
    });
}
