#include "app/Application.h"

#include "app/KYRHelp.h"

namespace KYR {

int RunApplication(HINSTANCE instance, InterfaceFactory factory, SheetRunner runSheet) {
    CKYRHelp help(instance);
    if (!help.CreateInterfaces(factory)) return 1;
    if (runSheet) runSheet();
    return 0;
}

}  // namespace KYR
