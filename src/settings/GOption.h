// The configuration tool's settings model: one object for the whole run that holds every
// value the pages show and reads and writes Game.ini and System.ini beside the executable.
// WinMain owns it; the pages reach it through its singleton pointer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "engine/core/singleton.h"
#include "settings/IniFile.h"

namespace KYR {
class IKYRD3D;
class IKYRDI;
class IKYRWin;
}

class CGOption : public KYR::singleton<CGOption> {
public:
    static constexpr int kPlayers = 4;
    static constexpr int kButtons = 16;
    static constexpr int kPageSlots = 5;          // key pages of rows 0-3, then the hardware page
    static constexpr int kHardwarePageSlot = 4;
    static constexpr int kKeyNames = 288;         // 256 scan codes, then 32 joystick controls
    static constexpr int kWebKeys = 6;

    // moduleDirectory ends with a backslash (the application object's form); empty when the
    // program cannot name its folder, and then no file is read or written.
    explicit CGOption(const std::string& moduleDirectory);
    ~CGOption() override;
    CGOption(const CGOption&) = delete;
    CGOption& operator=(const CGOption&) = delete;

    // Creates the sheet and runs the program's message loop until OK, Cancel or the close box.
    // The sheet lives in ui/ (ConfigSheet.cpp). The engine interfaces are the application's,
    // borrowed for the run: the key page's reader opens its devices through `input`, the
    // hardware page asks `graphics` for the adapter and `window` for its report font.
    bool RunConfigSheet(KYR::IKYRD3D* graphics, KYR::IKYRWin* window, KYR::IKYRDI* input);

    // Reads [General] of Game.ini into the model and shows it in the general page's controls.
    void LoadGeneralPage();
    // Loads one player row's sixteen bindings into the binding texts and the key page's fields:
    // from System.ini when `useDefaults` is set or Game.ini does not exist, else from Game.ini.
    void LoadKeyConfig(bool useDefaults, int row);
    // Writes the model into Game.ini (OK and Apply). False when Game.ini has no place (nothing
    // is written) or when any value did not reach the file; every key is still tried, in the
    // usual order, so what can be written is, and the model keeps all its values.
    bool SaveSettings();

    const KYR::IniFile& GameIni() const { return gameIni_; }
    const KYR::IniFile& SystemIni() const { return systemIni_; }

    // The fields, for the pages. Window handles are borrowed; the font is owned (deleted with
    // the model).
    HWND sheet_ = nullptr;
    HWND generalPage_ = nullptr;
    HWND pages_[kPageSlots] = {};
    HWND warningText_ = nullptr;      // 1030
    HWND vramList_ = nullptr;         // 1001
    HWND fileCacheList_ = nullptr;    // 1002
    HWND screenSizeList_ = nullptr;   // 1005
    HWND fullScreenBox_ = nullptr;    // 1003
    HWND showMenuBox_ = nullptr;      // 1007
    HWND showFPSBox_ = nullptr;       // 1004
    HWND highQualityBox_ = nullptr;   // 1006

    HWND bindingFields_[kButtons][kPlayers] = {};
    std::map<HWND, std::string> bindingTexts_;
    std::map<HWND, HWND> nextFields_;
    uint8_t keyLatches_[256] = {};
    uint8_t joystickLatches_[4][32] = {};
    // Set when a binding field gained the focus before the reader could be read: the next
    // capture step that reads latches what is held instead of binding it.
    bool latchHeldControls_ = false;
    // Set while the capture step moves the focus on itself (it has latched what is down).
    bool captureMovesFocus_ = false;

    std::string keyNames_[kKeyNames];
    std::string webKeys_[kWebKeys];

    HWND reportField_ = nullptr;      // the hardware page's 1201
    HFONT hardwareFont_ = nullptr;
    bool sheetCentred_ = false;

    int32_t MaxVRAMCacheSize = 0;
    int32_t MaxFileCacheSize = 128;
    int32_t ScreenSize = 0;
    int32_t linkState_ = 0;

    bool fullScreen_ = false;
    bool showMenu_ = true;
    bool showFPS_ = false;
    bool highQuality_ = false;
    bool generalPageInitialised_ = false;
    bool keyPageInitialised_ = false;
    bool linkPageInitialised_ = false;

    WNDPROC previousSheetProc_ = nullptr;

private:
    bool SaveKeyConfig1Validated(const KYR::IniFile& source);

    KYR::IniFile gameIni_;
    KYR::IniFile systemIni_;
};
