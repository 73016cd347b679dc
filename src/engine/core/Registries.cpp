#include "engine/core/Registries.h"

namespace KYR {

Registries& GlobalRegistries() {
    static Registries registries;
    return registries;
}

void ClearNamedRegistries() {
    Registries& r = GlobalRegistries();
    r.interfacesA.clear();
    r.sharedInterface.Reset();
    r.interfacesB.clear();
    r.objects.clear();
}

void CloseRegisteredHandles() {
    Registries& r = GlobalRegistries();
    for (auto& entry : r.handles)
        if (entry.second && entry.second != INVALID_HANDLE_VALUE) CloseHandle(entry.second);
    r.handles.clear();
}

}  // namespace KYR
