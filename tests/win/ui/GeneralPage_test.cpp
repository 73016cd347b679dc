// The general page's handlers on a real dialog 102 inside a stand-in sheet window that
// records the page-changed notices.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "PageHost.h"
#include "resources/resource.h"
#include "settings/GOption.h"
#include "ui/GeneralPage.h"
#include "ui/PageHelpers.h"

namespace {

class GeneralPageTest : public PageHost {
protected:
    void SetUp() override { OpenPage(IDD_GENERAL, GeneralPageProc); }
    void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    bool Ticked(int id) { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // The box is hidden and disabled in the shipped page; a test shows it.
    void ShowHighQualityBox() {
        ShowWindow(Item(IDC_HIGH_QUALITY), SW_SHOW);
        EnableWindow(Item(IDC_HIGH_QUALITY), TRUE);
    }
    void AnswerWith(int answer) {
        KYR::SetMessageBoxHook([this, answer](HWND owner, const char* text,
                                                         const char* caption, UINT type) {
            boxes_.push_back(caption);
            EXPECT_EQ(owner, sheet_);
            EXPECT_STREQ(text, "このパラメータをオフにするとパフォーマンスが低下したり\n"
                               "画質が著しく低下します。続行しますか？");
            EXPECT_EQ(type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
            return answer;
        });
    }

    std::vector<std::string> boxes_;
};

TEST_F(GeneralPageTest, TheHighQualityBoxStartsHiddenDisabledAndTicked) {
    EXPECT_FALSE(IsWindowVisible(Item(IDC_HIGH_QUALITY)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_HIGH_QUALITY)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_QUALITY_WARNING)));
    EXPECT_TRUE(Ticked(IDC_HIGH_QUALITY));
    EXPECT_TRUE(option_->highQuality_);
}

TEST_F(GeneralPageTest, ClearingHighQualityAsksFirst) {
    struct Row {
        int answer;
        bool ticked;    // the box afterwards
        bool flag;      // the model afterwards
        int notices;    // PSM_CHANGED sent
    } rows[] = {
        {IDYES, false, false, 1},
        {IDNO, true, true, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.answer);
        SendMessageA(Item(IDC_HIGH_QUALITY), BM_SETCHECK, BST_CHECKED, 0);
        option_->highQuality_ = true;
        changedNotices = 0;
        boxes_.clear();
        ShowHighQualityBox();
        AnswerWith(r.answer);
        Click(IDC_HIGH_QUALITY);
        EXPECT_EQ(boxes_, std::vector<std::string>{"確認"});
        EXPECT_EQ(Ticked(IDC_HIGH_QUALITY), r.ticked);
        EXPECT_EQ(option_->highQuality_, r.flag);
        EXPECT_EQ(changedNotices, r.notices);
    }
    // Ticking it again needs no question.
    boxes_.clear();
    SendMessageA(Item(IDC_HIGH_QUALITY), BM_SETCHECK, BST_UNCHECKED, 0);
    option_->highQuality_ = false;
    Click(IDC_HIGH_QUALITY);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(option_->highQuality_);
}

TEST_F(GeneralPageTest, OnlyARealChangeSendsTheNotice) {
    struct Row {
        int id;
        int entry;  // -1: a click on a check box
        int notices;
    } rows[] = {
        {IDC_VRAM_CACHE, 0, 0},   // already selected
        {IDC_VRAM_CACHE, 2, 1},
        {IDC_VRAM_CACHE, 2, 0},
        {IDC_SCREEN_SIZE, 4, 0},
        {IDC_SCREEN_SIZE, 0, 1},
        {IDC_FULLSCREEN, -1, 1},
        {IDC_FULLSCREEN, -1, 1},  // and back
    };
    for (const Row& r : rows) {
        changedNotices = 0;
        if (r.entry >= 0) {
            SendMessageA(Item(r.id), CB_SETCURSEL, r.entry, 0);
            SendMessageA(page_, WM_COMMAND, MAKEWPARAM(r.id, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(Item(r.id)));
        } else {
            Click(r.id);
        }
        EXPECT_EQ(changedNotices, r.notices) << r.id << " " << r.entry;
    }
    EXPECT_EQ(option_->MaxVRAMCacheSize, 256);
    EXPECT_EQ(option_->ScreenSize, 4);
}

TEST_F(GeneralPageTest, TheWarningIsDrawnRedOnNoBackground) {
    HDC dc = CreateCompatibleDC(nullptr);
    const INT_PTR brush = SendMessageA(page_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(Item(IDC_QUALITY_WARNING)));
    EXPECT_EQ(brush, reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    DeleteDC(dc);
}

TEST_F(GeneralPageTest, TheScreenSizeListOpensToShowAllFiveEntries) {
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(Item(IDC_SCREEN_SIZE), &info));
    SendMessageA(Item(IDC_SCREEN_SIZE), CB_SHOWDROPDOWN, TRUE, 0);
    RECT list;
    GetClientRect(info.hwndList, &list);
    const int item = static_cast<int>(SendMessageA(Item(IDC_SCREEN_SIZE), CB_GETITEMHEIGHT, 0, 0));
    EXPECT_GE(list.bottom, 5 * item);
    SendMessageA(Item(IDC_SCREEN_SIZE), CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(GeneralPageTest, TheSheetIsCentredOnceAndGivenTheIcon) {
    RECT r;
    GetWindowRect(sheet_, &r);
    RECT client;
    GetClientRect(sheet_, &client);
    const int w = client.right + GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXDLGFRAME) +
                  GetSystemMetrics(SM_CXBORDER);
    const int h = client.bottom + GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYDLGFRAME) +
                  GetSystemMetrics(SM_CYBORDER) + GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2);
    EXPECT_TRUE(option_->sheetCentred_);
    EXPECT_EQ(option_->sheet_, sheet_);
    EXPECT_NE(SendMessageA(sheet_, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(sheet_, WM_GETICON, ICON_SMALL, 0), 0);

    SetWindowPos(sheet_, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CenterSheetOnce(page_);  // a later page: no move
    GetWindowRect(sheet_, &r);
    EXPECT_EQ(r.left, 7);
    EXPECT_EQ(r.top, 9);
}

}  // namespace
