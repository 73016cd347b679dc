#include <gtest/gtest.h>

#include "engine/graphics/DeviceCaps.h"

namespace {

using namespace KYR;

constexpr DWORD kRaster = D3DDEVCAPS_HWRASTERIZATION;
constexpr DWORD kTnl = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
constexpr DWORD kPure = D3DDEVCAPS_PUREDEVICE;

TEST(DeviceCaps, EachTypeHasItsTestAndFlags) {
    struct Row {
        DWORD devCaps;
        DWORD vsVersion;
        DWORD flags[3];  // types 0, 1, 2
        int32_t best;
    } rows[] = {
        // everything: all three types pass with their own flags
        {kRaster | kTnl | kPure, D3DVS_VERSION(2, 0), {0x54, 0x84, 0x24}, 0},
        // vertex shader 1.1 is enough for the pure device
        {kRaster | kTnl | kPure, D3DVS_VERSION(1, 1), {0x54, 0x84, 0x24}, 0},
        // vertex shader 1.0 is not: retry with type 1
        {kRaster | kTnl | kPure, D3DVS_VERSION(1, 0), {0, 0x84, 0x24}, 1},
        // no pure device
        {kRaster | kTnl, D3DVS_VERSION(3, 0), {0, 0x84, 0x24}, 1},
        // no hardware T&L: only software vertex processing, whatever else is claimed
        {kRaster | kPure, D3DVS_VERSION(3, 0), {0, 0, 0x24}, 2},
        // no hardware rasterization: nothing
        {kTnl | kPure, D3DVS_VERSION(3, 0), {0, 0, 0}, -1},
    };
    for (const Row& row : rows) {
        D3DCAPS9 caps = {};
        caps.DevCaps = row.devCaps;
        caps.VertexShaderVersion = row.vsVersion;
        for (int32_t type = 0; type < 3; ++type)
            EXPECT_EQ(BehaviorFlagsFor(caps, type), row.flags[type])
                << "caps " << std::hex << row.devCaps << " vs " << row.vsVersion << " type "
                << type;
        EXPECT_EQ(BestVertexProcessing(caps), row.best) << std::hex << row.devCaps;
        EXPECT_EQ(BehaviorFlagsFor(caps, 3), 0u);
        EXPECT_EQ(BehaviorFlagsFor(caps, -1), 0u);
    }
}

}  // namespace
