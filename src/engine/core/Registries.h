// The engine's process-wide registries. The game registers shared interfaces, objects and
// kernel handles here by name; the configuration tool never adds anything, but its teardown
// empties them in the engine's fixed order (app/KYRHelp).
#pragma once

#include <windows.h>

#include <boost/shared_ptr.hpp>

#include <string>
#include <unordered_map>

#include "engine/core/IKYRInterface.h"
#include "engine/core/RefPtr.h"

namespace KYR {

using NamedInterfaces = std::unordered_map<std::string, RefPtr<IKYRInterface>>;

struct Registries {
    NamedInterfaces interfacesA;                                    // released on removal
    RefPtr<IKYRInterface> sharedInterface;
    NamedInterfaces interfacesB;                                    // released on removal
    std::unordered_map<std::string, boost::shared_ptr<void>> objects;
    std::unordered_map<std::string, HANDLE> handles;                // closed at teardown
    std::unordered_map<std::string, uint32_t> values;
};

// The one instance; borrowed.
Registries& GlobalRegistries();

// Teardown step of the graphics owner: the first named table, the shared reference, then the
// second named table and the shared objects.
void ClearNamedRegistries();

// Closes and forgets every handle in the handle table.
void CloseRegisteredHandles();

}  // namespace KYR
