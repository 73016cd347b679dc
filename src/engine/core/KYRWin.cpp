#include "engine/core/KYRWin.h"

#include <mmsystem.h>

#include <cstring>

#include "engine/core/ScopedHandle.h"

namespace KYR {
namespace {

// The enumeration callback fills this record; a face that does not exist leaves the record
// of the previous successful request in place (all zero before the first one).
LOGFONTA g_fontRecord;

struct FontRequest {
    int width;
    int height;
    LONG weight;
    bool italic;
    bool underline;
    bool strikeOut;
};

int CALLBACK TakeFirstFont(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM param) {
    const FontRequest& req = *reinterpret_cast<const FontRequest*>(param);
    g_fontRecord = *font;
    g_fontRecord.lfHeight = req.height;
    g_fontRecord.lfWidth = req.width;
    g_fontRecord.lfWeight = req.weight;
    g_fontRecord.lfItalic = req.italic;
    g_fontRecord.lfUnderline = req.underline;
    g_fontRecord.lfStrikeOut = req.strikeOut;
    g_fontRecord.lfQuality = PROOF_QUALITY;
    return 0;  // the first font is enough
}

LONG WeightOfIndex(unsigned index) {
    static const LONG kWeights[] = {300, 400, 500, 600, 700, 800, 900};
    return index < sizeof(kWeights) / sizeof(kWeights[0]) ? kWeights[index] : 300;
}

}  // namespace

CKYRWin::~CKYRWin() { ReleaseDesktopDC(); }

HFONT CKYRWin::CreateFontHandle(const char* faceName, int width, int height,
                                unsigned weightIndex, bool italic, bool underline,
                                bool strikeOut) {
    if (height == 0) return nullptr;
    FontRequest req{width, height, WeightOfIndex(weightIndex), italic, underline, strikeOut};

    LOGFONTA query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    query.lfPitchAndFamily = 0;
    if (faceName) {
        strncpy(query.lfFaceName, faceName, LF_FACESIZE - 1);
        query.lfFaceName[LF_FACESIZE - 1] = '\0';
    }
    {
        ScopedDC memoryDC(CreateCompatibleDC(nullptr));
        if (memoryDC.get())
            EnumFontFamiliesExA(memoryDC.get(), &query, TakeFirstFont,
                                reinterpret_cast<LPARAM>(&req), 0);
    }
    return CreateFontIndirectA(&g_fontRecord);
}

HDC CKYRWin::GetDesktopDC() {
    if (!desktopWindow_) {
        desktopWindow_ = GetDesktopWindow();
        desktopDC_ = GetDCEx(desktopWindow_, nullptr, DCX_LOCKWINDOWUPDATE);
    }
    return desktopDC_;
}

int CKYRWin::ReleaseDesktopDC() {
    if (!desktopWindow_) return 0;
    const int result = ReleaseDC(desktopWindow_, desktopDC_);
    desktopWindow_ = nullptr;
    desktopDC_ = nullptr;
    return result;
}

bool CKYRWin::RunAndWait(char* commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process))
        return false;
    ScopedHandle processHandle(process.hProcess);
    ScopedHandle threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    return true;
}

void CKYRWin::PumpMessagesFor(DWORD milliseconds) {
    const DWORD start = timeGetTime();
    MSG msg;
    do {
        // WM_QUIT is dispatched like any other message here; the caller's loop sees no quit.
        if (GetMessageA(&msg, nullptr, 0, 0) == -1) return;
        DispatchMessageA(&msg);
    } while (timeGetTime() - start < milliseconds);
}

}  // namespace KYR
