#include "ui/HardwarePage.h"

#include <intrin.h>  // before anything that pulls in strsafe.h

#include <cstring>

#include <prsht.h>

#include "engine/core/IKYRWin.h"
#include "engine/core/MessageBox.h"
#include "engine/graphics/IKYRD3D.h"
#include "input/Input.h"
#include "resources/resource.h"
#include "settings/GOption.h"
#include "ui/PageHelpers.h"

using namespace KYR;

namespace KYR {

std::string ProcessorName() {
    int regs[4] = {};
    __cpuid(regs, static_cast<int>(0x80000000));
    if (static_cast<unsigned>(regs[0]) < 0x80000004u) return "Unknown CPU";
    char brand[48];
    for (int leaf = 0; leaf < 3; ++leaf) {
        __cpuid(regs, static_cast<int>(0x80000002u + leaf));
        std::memcpy(brand + 16 * leaf, regs, 16);
    }
    return BrandStringName(brand);
}

HardwareFacts GatherHardwareFacts(IKYRD3D* graphics) {
    HardwareFacts facts;
    facts.cpuName = ProcessorName();
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof(memory);
    GlobalMemoryStatusEx(&memory);
    facts.memoryMB = static_cast<int64_t>(memory.ullTotalPhys >> 20);
    CInput* input = CInput::GetInstance();
    facts.joystickUsable = input && input->DeviceCount() >= 2;

    D3DAdapterInfo info = {};
    if (graphics && graphics->GetAdapterInfo(&info, 640, 480)) {
        facts.adapterKnown = true;
        info.description[sizeof(info.description) - 1] = '\0';
        facts.adapterDescription = info.description;
        facts.videoMemoryBytes = info.videoMemory;
        facts.maxTextureWidth = info.maxTextureWidth;
        facts.maxTextureHeight = info.maxTextureHeight;
        facts.adapterMode = info.vertexProcessing;
        facts.pixelShader20 = info.pixelShader20;
    }
    return facts;
}

}  // namespace KYR

void BuildHardwareReport(IKYRD3D* graphics) {
    CGOption* option = CGOption::GetInstance();
    const HardwareFacts facts = GatherHardwareFacts(graphics);
    if (!facts.adapterKnown) {
        ShowMessageBox(option->sheet_, "There is no suitable dispray mode in this video card.",
                       "Fatal error", MB_OK | MB_ICONERROR);
        return;
    }
    SetWindowTextA(option->reportField_, FormatHardwareReport(facts).c_str());
}

INT_PTR CALLBACK HardwarePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return HandlePageMessage([&](CGOption& o) -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG: {
            CenterSheetOnce(page);
            o.pages_[CGOption::kHardwarePageSlot] = page;
            o.reportField_ = GetDlgItem(page, IDC_HARDWARE_REPORT);
            const auto* entry = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
            const auto* engine =
                entry ? reinterpret_cast<const HardwarePageInterfaces*>(entry->lParam) : nullptr;
            IKYRWin* win = engine ? engine->window : nullptr;
            if (win) {
                o.hardwareFont_ =
                    win->CreateFontHandle("ＭＳ ゴシック", 0, 12, 1, false, false, false);
                SendMessageA(o.reportField_, WM_SETFONT,
                             reinterpret_cast<WPARAM>(o.hardwareFont_), FALSE);
            }
            BuildHardwareReport(engine ? engine->graphics : nullptr);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == o.reportField_)
                return PaintWhiteField(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_DESTROY:
            if (o.hardwareFont_) {
                DeleteObject(o.hardwareFont_);
                o.hardwareFont_ = nullptr;
            }
            return 0;
        default:
            return 0;
        }
    });
}
