#include "ui/HardwareReport.h"

#include <boost/format.hpp>

namespace KYR {

std::string ToCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') out += '\r';
        out += text[i];
    }
    return out;
}

std::string BrandStringName(const char (&brand)[48]) {
    char copy[48];
    for (int i = 0; i < 48; ++i) copy[i] = brand[i];
    copy[47] = '\0';
    return std::string(copy);
}

std::string FormatHardwareReport(const HardwareFacts& f) {
    if (!f.adapterKnown) return std::string();
    std::string text = "---- System information ----\n";
    text += (boost::format("CPU name:\n%s\n") % f.cpuName).str();
    text += (boost::format("Memory:\n%lld MB\n") % static_cast<long long>(f.memoryMB)).str();
    text += f.joystickUsable ? "★ジョイスティックが使用できます。\n"
                             : "★ジョイスティックは使用できません。\n";
    text += "----------------------------\n";
    text += "---- Graphics card information ----\n";
    text += (boost::format("Graphics card name:\n%s\n") % f.adapterDescription).str();
    text += (boost::format("Total video memory of adapter:\n%u MB\n") % (f.videoMemoryBytes >> 20)).str();
    text += (boost::format("Maximum texture width:\n%u Pixel\n") % f.maxTextureWidth).str();
    text += (boost::format("Maximum texture height:\n%u Pixel\n") % f.maxTextureHeight).str();
    static const char* const kModes[] = {"Hardware TnL", "Hardware Accelerator Layer",
                                         "Hardware Emulation Layer"};
    if (f.adapterMode >= 0 && f.adapterMode <= 2)
        text += std::string("Adapter mode:\n") + kModes[f.adapterMode] + "\n";
    text += f.pixelShader20 ? "Pixel Shader 2.0:\nYes\n" : "Pixel Shader 2.0:\nNo\n";
    text += "-----------------------------------\n";
    return ToCrLf(text);
}

}  // namespace KYR
