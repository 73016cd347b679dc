#include "app/KYRHelp.h"

#include <utility>

#include "app/ModuleDirectory.h"
#include "engine/core/MessageBox.h"
#include "engine/core/Registries.h"

namespace KYR {
namespace {

void ShowSystemError() {
    ShowMessageBox(nullptr, "必要なシステムライブラリが読み込めませんでした。", "システムエラー",
                   MB_OK | MB_ICONERROR);
}

// The factory's reference becomes the slot's own: the slot AddRefs, the factory's is released,
// so the slot ends up holding the only one.
template <class I>
void StoreInto(RefPtr<I>& slot, IKYRInterface* made) {
    if (!made) return;
    slot = RefPtr<I>::AddRefOf(static_cast<I*>(made));
    made->Release();
}

}  // namespace

CKYRHelp::CKYRHelp(HINSTANCE instance, Spares spares)
    : auxiliary_(spares.auxiliary),
      mainWindow_(std::move(spares.mainWindow)),
      spareA_(spares.spareA),
      spareB_(spares.spareB),
      spareC_(spares.spareC),
      spareD_(spares.spareD),
      instance_(instance) {
    SetInstance(this);
    moduleDirectory_ = ReadModuleDirectory(nullptr);
    debug_.reset(new CGDebug);
    fep_.reset(new CGFEP);
    GlobalModuleDirectory() = moduleDirectory_;
}

bool CKYRHelp::CreateInterfaces(InterfaceFactory factory) {
    IKYRInterface* graphics = factory(kKindGraphics);
    if (!graphics) {
        ShowSystemError();
        return false;
    }
    StoreInto(graphics_, graphics);

    StoreInto(window_, factory(kKindWin));
    if (!window_) {
        ShowSystemError();
        return false;
    }
    StoreInto(input_, factory(kKindInput));
    if (!input_) {
        ShowSystemError();
        return false;
    }
    return true;
}

CKYRHelp::~CKYRHelp() {
    if (graphics_) {
        ClearNamedRegistries();
        auxiliary_.Reset();
        graphics_->ReleaseDevice();
    }
    if (mainWindow_) {
        mainWindow_->Destroy();
        mainWindow_.reset();
    }
    debug_.reset();
    fep_.reset();
    spareD_.Reset();
    if (graphics_) {
        graphics_->ReleaseDevice();  // does nothing when no device is left
        graphics_.Reset();
    }
    if (spareC_) {
        spareC_->Close();
        spareC_.Reset();
    }
    if (spareB_) {
        spareB_->Close();
        spareB_.Reset();
    }
    if (input_) {
        input_->Shutdown();
        input_.Reset();
    }
    window_.Reset();
    spareA_.Reset();
    CloseRegisteredHandles();
    while (!queued_.empty()) queued_.pop_back();  // released last first
    ClearInstance();
}

}  // namespace KYR
