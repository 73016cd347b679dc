#include "input/BindingIni.h"

#include <windows.h>

namespace KYR {

LoadedBinding LoadBindingFromIni(const std::string& iniPath, int player, int button) {
    char value[256] = {};
    // A missing key yields the default; a present but empty key yields "" and is replaced
    // by ResolveStoredBinding.
    GetPrivateProfileStringA(KeyConfigSection(player).c_str(), BindingIniKey(button),
                             DefaultBindingText(player, button), value, sizeof(value),
                             iniPath.c_str());
    return ResolveStoredBinding(value, player, button);
}

}  // namespace KYR
