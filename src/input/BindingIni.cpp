#include "input/BindingIni.h"

#include <windows.h>

namespace KYR {

LoadedBinding LoadBindingFromIni(const std::string& iniPath, int player, int button) {
    // A null key would read the section's key list, and an empty path a file in the Windows
    // folder: neither is this button's binding.
    if (!BindingIniKey(button) || !DefaultBindingText(player, button) || iniPath.empty())
        return ResolveStoredBinding(nullptr, player, button);
    char value[256] = {};
    // A missing key yields the default; a present but empty key yields "" and is replaced
    // by ResolveStoredBinding.
    GetPrivateProfileStringA(KeyConfigSection(player).c_str(), BindingIniKey(button),
                             DefaultBindingText(player, button), value, sizeof(value),
                             iniPath.c_str());
    return ResolveStoredBinding(value, player, button);
}

}  // namespace KYR
