// The hardware report's text from gathered facts.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ui/HardwareReport.h"

namespace {

using KYR::FormatHardwareReport;
using KYR::HardwareFacts;

HardwareFacts Sample() {
    HardwareFacts f;
    f.cpuName = "  Test CPU @ 3.00GHz";
    f.memoryMB = 8192;
    f.joystickUsable = true;
    f.adapterKnown = true;
    f.adapterDescription = "Test Adapter";
    f.videoMemoryBytes = 0xFFFFFFFFu;  // the shift is unsigned: 4095, not -1
    f.maxTextureWidth = 8192;
    f.maxTextureHeight = 4096;
    f.adapterMode = 1;
    f.pixelShader20 = true;
    return f;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

TEST(HardwareReport, LinesInOrder) {
    const std::vector<std::string> expected = {
        "---- System information ----", "CPU name:", "  Test CPU @ 3.00GHz", "Memory:",
        "8192 MB", "★ジョイスティックが使用できます。", std::string(28, '-'),
        "---- Graphics card information ----", "Graphics card name:", "Test Adapter",
        "Total video memory of adapter:", "4095 MB", "Maximum texture width:", "8192 Pixel",
        "Maximum texture height:", "4096 Pixel", "Adapter mode:", "Hardware Accelerator Layer",
        "Pixel Shader 2.0:", "Yes", std::string(35, '-'),
    };
    EXPECT_EQ(Lines(FormatHardwareReport(Sample())), expected);
}

TEST(HardwareReport, Variants) {
    struct Row {
        const char* what;
        void (*change)(HardwareFacts&);
        int line;  // 0-based line to look at
        std::string expected;
    } rows[] = {
        {"no joystick", [](HardwareFacts& f) { f.joystickUsable = false; }, 5,
         "★ジョイスティックは使用できません。"},
        {"mode 0", [](HardwareFacts& f) { f.adapterMode = 0; }, 17, "Hardware TnL"},
        {"mode 2", [](HardwareFacts& f) { f.adapterMode = 2; }, 17, "Hardware Emulation Layer"},
        // Mode 3 and up: no adapter-mode lines, the shader line follows the height.
        {"mode 3", [](HardwareFacts& f) { f.adapterMode = 3; }, 16, "Pixel Shader 2.0:"},
        {"mode -1", [](HardwareFacts& f) { f.adapterMode = -1; }, 16, "Pixel Shader 2.0:"},
        {"no shader 2.0", [](HardwareFacts& f) { f.pixelShader20 = false; }, 19, "No"},
        {"unknown CPU", [](HardwareFacts& f) { f.cpuName = "Unknown CPU"; }, 2, "Unknown CPU"},
        {"large memory", [](HardwareFacts& f) { f.memoryMB = 3000000; }, 4, "3000000 MB"},
    };
    for (const Row& r : rows) {
        HardwareFacts f = Sample();
        r.change(f);
        const std::vector<std::string> lines = Lines(FormatHardwareReport(f));
        ASSERT_GT(lines.size(), static_cast<size_t>(r.line)) << r.what;
        EXPECT_EQ(lines[r.line], r.expected) << r.what;
        EXPECT_EQ(lines.back(), std::string(35, '-')) << r.what;
    }
}

TEST(HardwareReport, NoAdapterMeansNoText) {
    HardwareFacts f = Sample();
    f.adapterKnown = false;
    EXPECT_EQ(FormatHardwareReport(f), "");
}

TEST(HardwareReport, LineEndsAndBrandString) {
    EXPECT_EQ(KYR::ToCrLf("a\nb\n\n"), "a\r\nb\r\n\r\n");
    EXPECT_EQ(KYR::ToCrLf(""), "");
    char brand[48];
    std::fill(brand, brand + 48, 'x');  // no terminator: byte 48 is forced to zero
    EXPECT_EQ(KYR::BrandStringName(brand), std::string(47, 'x'));
    const char shortBrand[48] = "   Blank Lead\0ignored";
    EXPECT_EQ(KYR::BrandStringName(shortBrand), "   Blank Lead");
}

}  // namespace
