#pragma once

#include "engine/core/IKYRWin.h"

namespace KYR {

class CKYRWin : public RefCounted<IKYRWin> {
public:
    CKYRWin() = default;
    ~CKYRWin() override;

    HFONT CreateFontHandle(const char* faceName, int width, int height, unsigned weightIndex,
                           bool italic, bool underline, bool strikeOut) override;
    HDC GetDesktopDC() override;
    int ReleaseDesktopDC() override;
    bool RunAndWait(char* commandLine) override;
    void PumpMessagesFor(DWORD milliseconds) override;

private:
    HWND desktopWindow_ = nullptr;
    HDC desktopDC_ = nullptr;
};

}  // namespace KYR
