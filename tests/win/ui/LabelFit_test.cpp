// Every label of every page fits its control in the dialog font as this machine draws it: a
// static text needs no more lines than its height holds and no line wider than the control;
// a check box's text fits beside the box; a push button's text fits inside its edges. The
// pages were laid out for "MS UI Gothic", so this catches a substitute face that is wider
// (the cut labels a player would see) as well as a template edit that outgrows its control.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "resources/link_resource.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring TextOf(HWND h) {
    std::wstring t(GetWindowTextLengthW(h) + 1, L'\0');
    t.resize(GetWindowTextW(h, &t[0], static_cast<int>(t.size())));
    return t;
}

std::string Utf8(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    return s;
}

// Space the text needs when laid out as the control lays it out, against the space it has.
struct Fit {
    SIZE need;
    SIZE room;
};

Fit Measure(HWND control) {
    RECT client;
    GetClientRect(control, &client);
    const std::wstring text = TextOf(control);
    wchar_t cls[16] = {};
    GetClassNameW(control, cls, 16);
    const LONG style = GetWindowLongW(control, GWL_STYLE);

    UINT format = DT_CALCRECT | DT_EXPANDTABS;
    int roomWidth = client.right;
    if (lstrcmpiW(cls, L"Static") == 0) {
        format |= DT_WORDBREAK;  // statics wrap; a wrapped line shows as a missing one
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    } else {
        const LONG kind = style & BS_TYPEMASK;
        format |= DT_SINGLELINE;
        if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
            kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE)
            roomWidth -= GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and its gap
        else
            roomWidth -= 2 * GetSystemMetrics(SM_CXEDGE) + 2;  // the raised edge, the focus frame
    }
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT need = {0, 0, roomWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {{need.right, need.bottom}, {roomWidth, client.bottom}};
}

struct Page {
    int dialog;
    // Texts the page's code puts into a control at run time: control id, text.
    std::vector<std::pair<int, const wchar_t*>> runtimeTexts;
};

void PrintTo(const Page& page, std::ostream* os) { *os << "dialog " << page.dialog; }

class LabelFit : public testing::TestWithParam<Page> {};

TEST_P(LabelFit, EveryLabelFitsItsControl) {
    const Page& page = GetParam();
    // The templates are child pages: they need a parent, as in the sheet.
    HWND parent = CreateWindowW(L"STATIC", L"host", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(page.dialog),
                                     parent, PlainDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "dialog " << page.dialog << ": " << GetLastError();

    int measured = 0;
    auto check = [&](HWND control) {
        const Fit fit = Measure(control);
        ++measured;
        EXPECT_TRUE(fit.need.cx <= fit.room.cx && fit.need.cy <= fit.room.cy)
            << "dialog " << page.dialog << ", control " << GetDlgCtrlID(control) << " \""
            << Utf8(TextOf(control)) << "\" needs " << fit.need.cx << "x" << fit.need.cy
            << " px, has " << fit.room.cx << "x" << fit.room.cy;
    };
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(c, cls, 16);
        const bool label = lstrcmpiW(cls, L"Static") == 0 || lstrcmpiW(cls, L"Button") == 0;
        if (label && GetWindowTextLengthW(c) > 0) check(c);  // hidden ones too: they may show
    }
    for (const auto& [id, text] : page.runtimeTexts) {
        HWND c = GetDlgItem(dialog, id);
        ASSERT_NE(c, nullptr) << id;
        SetWindowTextW(c, text);
        check(c);
    }
    EXPECT_GT(measured, 0);
    DestroyWindow(parent);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, LabelFit,
    testing::Values(
        Page{IDD_GENERAL, {}},
        Page{IDD_KEYCONFIG, {}},
        Page{IDD_HARDWARE, {}},
        Page{IDD_LINK,
             {{IDC_LINK_STATUS, L"このアプリケーションは"},
              {IDC_LINK_STATE, L"Twitterと連動できません"},
              {IDC_LINK_STATE, L"Twitterと連動していません"},
              {IDC_LINK_STATE, L"Twitterと連動しています"},
              {IDC_LINK_BUTTON, L"連動を解除する"},
              {IDC_LINK_BUTTON, L"Twitterと連動"}}}),
    [](const testing::TestParamInfo<Page>& info) { return "Dialog" + std::to_string(info.param.dialog); });

}  // namespace
