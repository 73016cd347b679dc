// Entry point of every Windows test program. No test may leave a box waiting under Wine:
// an unexpected message box fails the running test instead of showing.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/core/MessageBox.h"

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    KYR::SetMessageBoxHook([](HWND, const char* text, const char* caption, UINT) {
        ADD_FAILURE() << "unexpected message box: " << (caption ? caption : "") << " / "
                      << (text ? text : "");
        return IDOK;
    });
    KYR::SetWideMessageBoxHook([](HWND, const wchar_t* text, const wchar_t* caption, UINT) {
        ADD_FAILURE() << "unexpected message box: " << (caption ? caption : L"") << " / "
                      << (text ? text : L"");
        return IDOK;
    });
    return RUN_ALL_TESTS();
}
