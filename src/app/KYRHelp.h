// The application object: the instance handle, the module directory and the engine
// interfaces, reached by every part through its singleton pointer. Lives in WinMain for the
// whole run; its destructor tears the engine down in the engine's fixed order.
#pragma once

#include <windows.h>

#include <boost/noncopyable.hpp>
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <deque>
#include <string>

#include "engine/factory/InterfaceFactory.h"
#include "app/MainWindow.h"
#include "app/SpareServices.h"
#include "engine/core/GDebug.h"
#include "engine/core/GFEP.h"
#include "engine/core/IKYRWin.h"
#include "engine/core/RefPtr.h"
#include "engine/core/singleton.h"
#include "engine/graphics/IKYRD3D.h"
#include "input/IKYRDI.h"

namespace KYR {

class CKYRHelp : public singleton<CKYRHelp>, private boost::noncopyable {
public:
    // What the game puts into the slots that the tool leaves empty: its main window and
    // services of its own. Each non-null pointer's reference passes to the application object,
    // and teardown treats them in its fixed order.
    struct Spares {
        IKYRInterface* auxiliary;
        IKYRInterface* spareA;
        IKYRSpareServiceB* spareB;
        IKYRSpareServiceC* spareC;
        IKYRInterface* spareD;
        boost::shared_ptr<IMainWindow> mainWindow;
    };

    explicit CKYRHelp(HINSTANCE instance, Spares spares = {});
    ~CKYRHelp() override;

    // Creates the graphics, window and input interfaces, in that order. On the first one
    // that cannot be made: one system-error message box, false, and no later interface is
    // requested. Those made before stay in their slots until teardown.
    bool CreateInterfaces(InterfaceFactory factory = &CreateKYRInterface);

    HINSTANCE GetInstanceHandle() const { return instance_; }
    // The executable's directory with its final backslash, ANSI code page.
    const std::string& GetModuleDirectory() const { return moduleDirectory_; }
    // Borrowed interfaces: null when the slot is empty.
    IKYRD3D* GetGraphics() const { return graphics_.Get(); }
    IKYRWin* GetWindow() const { return window_.Get(); }
    IKYRDI* GetInput() const { return input_.Get(); }
    const boost::shared_ptr<IMainWindow>& GetMainWindow() const { return mainWindow_; }

private:
    bool flag0_ = false;
    uint32_t colour_ = 0xFF000000;
    bool flag1_ = false;
    bool flag2_ = true;
    RefPtr<IKYRInterface> auxiliary_;
    bool flag3_ = true;
    int32_t defaultWidth_ = 1280;
    int32_t defaultHeight_ = 720;
    std::deque<RefPtr<IKYRInterface>> queued_;
    boost::shared_ptr<IMainWindow> mainWindow_;
    std::string emptyText_;
    std::string moduleDirectory_;
    RefPtr<IKYRD3D> graphics_;
    RefPtr<IKYRInterface> spareA_;
    RefPtr<IKYRWin> window_;
    RefPtr<IKYRSpareServiceB> spareB_;
    RefPtr<IKYRDI> input_;
    RefPtr<IKYRSpareServiceC> spareC_;
    RefPtr<IKYRInterface> spareD_;
    HINSTANCE instance_ = nullptr;
    boost::shared_ptr<CGDebug> debug_;
    boost::shared_ptr<CGFEP> fep_;
};

}  // namespace KYR
