#include "settings/GOption.h"

#include "input/BindingDefaults.h"
#include "input/BindingText.h"
#include "input/KeyNames.h"
#include "settings/GeneralValues.h"

using namespace KYR;

namespace {
const char kGeneral[] = "General";
}

CGOption::CGOption(const std::string& moduleDirectory)
    : gameIni_(moduleDirectory, "Game.ini"), systemIni_(moduleDirectory, "System.ini") {
    SetInstance(this);
    for (int code = 0; code < 256; ++code) keyNames_[code] = KeyName(code);
}

CGOption::~CGOption() {
    if (hardwareFont_) DeleteObject(hardwareFont_);
    ClearInstance();
}

void CGOption::LoadGeneralPage() {
    using namespace settings;
    fullScreen_ = ReadYesNo(gameIni_.Read(kGeneral, "FullScreen", "No"), false);
    showMenu_ = ReadYesNo(gameIni_.Read(kGeneral, "ShowMenu", "Yes"), true);
    showFPS_ = ReadYesNo(gameIni_.Read(kGeneral, "ShowFPS", "No"), false);
    MaxVRAMCacheSize = ReadMaxVRAMCacheSize(gameIni_.Read(kGeneral, "MaxVRAMCacheSize", "0"));
    MaxFileCacheSize = ReadMaxFileCacheSize(gameIni_.Read(kGeneral, "MaxFileCacheSize", "256"));
    ScreenSize = ReadScreenSize(gameIni_.Read(kGeneral, "ScreenSize", "0"));
    // Not stored anywhere: the game always starts in high quality.
    highQuality_ = true;

    SendMessageA(vramList_, CB_SETCURSEL, VRAMCacheSizeToEntry(MaxVRAMCacheSize), 0);
    SendMessageA(fileCacheList_, CB_SETCURSEL, FileCacheSizeToEntry(MaxFileCacheSize), 0);
    SendMessageA(screenSizeList_, CB_SETCURSEL, ScreenSizeToEntry(ScreenSize), 0);
    auto tick = [](HWND box, bool on) {
        SendMessageA(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    };
    tick(highQualityBox_, highQuality_);
    tick(fullScreenBox_, fullScreen_);
    tick(showMenuBox_, showMenu_);
    tick(showFPSBox_, showFPS_);
}

bool CGOption::SaveSettings() {
    using namespace settings;
    if (!gameIni_.HasPlace()) return false;
    // Asked before the first write below creates the file.
    const bool gameIniExisted = gameIni_.Exists();
    // Each write is made whatever the ones before it did: the result joins in after the call.
    bool written = true;
    auto put = [&](const char* section, const char* key, const std::string& value) {
        written = gameIni_.Write(section, key, value) && written;
    };
    put(kGeneral, "ConfigVersion", "2.0");
    if (generalPageInitialised_) {
        put(kGeneral, "FullScreen", WriteYesNo(fullScreen_));
        put(kGeneral, "ShowMenu", WriteYesNo(showMenu_));
        put(kGeneral, "ShowFPS", WriteYesNo(showFPS_));
        put(kGeneral, "MaxVRAMCacheSize", WriteDecimal(MaxVRAMCacheSize));
        put(kGeneral, "MaxFileCacheSize", WriteDecimal(MaxFileCacheSize));
        put(kGeneral, "ScreenSize", WriteDecimal(ScreenSize));
    }
    if (keyPageInitialised_) {
        for (int player = 1; player <= kPlayers; ++player) {
            const std::string section = KeyConfigSection(player);
            for (int button = 0; button < kButtons; ++button) {
                HWND field = bindingFields_[button][player - 1];
                if (!field) continue;  // rows without a page keep what the file holds
                put(section.c_str(), BindingIniKey(button), bindingTexts_[field]);
            }
        }
    } else {
        written = SaveKeyConfig1Validated(gameIniExisted ? gameIni_ : systemIni_) && written;
    }
    return written;
}

// Without the key page, Game.ini still gets a complete, valid [KeyConfig1]: the bindings it
// already holds (or, before the first save, the shipped defaults) with every unreadable
// value replaced by the built-in default. False when any of the sixteen was not written.
bool CGOption::SaveKeyConfig1Validated(const IniFile& source) {
    const std::string section = KeyConfigSection(1);
    std::string values[kButtons];
    for (int button = 0; button < kButtons; ++button) {
        const char* fallback = DefaultBindingText(1, button);
        values[button] = source.Read(section.c_str(), BindingIniKey(button), fallback);
        KeyBinding parsed;
        if (!ParseBindingValue(values[button].c_str(), &parsed)) values[button] = fallback;
    }
    bool written = true;
    for (int button = 0; button < kButtons; ++button)
        written = gameIni_.Write(section.c_str(), BindingIniKey(button), values[button]) && written;
    return written;
}
