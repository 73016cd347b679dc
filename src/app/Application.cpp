#include "app/Application.h"

#include <boost/shared_ptr.hpp>

#include "app/KYRHelp.h"
#include "app/ModuleDirectory.h"
#include "app/SingleInstance.h"
#include "engine/core/ComApartment.h"
#include "engine/core/StartupMark.h"
#include "settings/GOption.h"

namespace KYR {

namespace {
constexpr DWORD kWaitForRunningSheetMs = 10000;
}  // namespace

// The sheet borrows the engine interfaces that the application object holds for the run.
bool RunRealSheet(CGOption& settings) {
    const CKYRHelp* help = CKYRHelp::GetInstance();
    if (!help) return false;
    return settings.RunConfigSheet(help->GetGraphics(), help->GetWindow(), help->GetInput());
}

int RunApplication(HINSTANCE instance, InterfaceFactory factory, SheetRunner runSheet) {
    MarkStartup("start");
    // Held until the run has ended, teardown included.
    const std::wstring folder = ReadModuleDirectoryW(nullptr);
    const SingleInstance instanceForFolder(folder);
    if (!instanceForFolder.IsFirst()) {
        // The sheet may take a while to appear: the first copy starts as slowly as this one.
        ShowRunningSheet(folder, kWaitForRunningSheetMs);
        return 0;
    }
    // The tool's one thread, for the whole run: the link page opens the browser through the
    // shell. Declared first, so it ends after everything that might hold a COM object.
    ComApartment apartment;
    MarkStartup("COM apartment");
    CKYRHelp help(instance);
    MarkStartup("application object");
    if (!help.CreateInterfaces(factory)) return 1;
    MarkStartup("engine interfaces");
    bool ran = true;
    {
        boost::shared_ptr<CGOption> settings(new CGOption(help.GetModuleDirectory()));
        MarkStartup("settings model");
        if (runSheet) ran = runSheet(*settings);
    }
    return ran ? 0 : 1;
}

}  // namespace KYR
