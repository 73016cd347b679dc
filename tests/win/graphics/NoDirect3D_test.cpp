// Direct3D 9 missing: this program runs a copy of itself with Wine's d3d9 disabled, and the
// copy checks that the graphics interface still exists and fails every device operation.
#include <gtest/gtest.h>

#include <string>

#include "GraphicsTestSupport.h"
#include "engine/core/ScopedHandle.h"

namespace {

using namespace KYR;
using namespace KYR::test;

constexpr char kChildMarker[] = "KYR_GRAPHICS_WITHOUT_D3D9";

bool IsChild() { return GetEnvironmentVariableA(kChildMarker, nullptr, 0) != 0; }

// Runs in the child only.
void InterfaceWorksWithoutDirect3D() {
    // Otherwise the override did not take and this would prove nothing.
    HMODULE d3d9 = LoadLibraryA("d3d9.dll");
    ASSERT_EQ(d3d9, nullptr) << "d3d9.dll is still loadable";

    TestWindow window;
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    ASSERT_TRUE(d3d);
    EXPECT_EQ(d3d->CreateObject(kIdRawDirect3D), nullptr);
    D3DAdapterInfo info = {};
    EXPECT_FALSE(d3d->GetAdapterInfo(&info, 640, 480));
    for (int32_t type = 0; type < 3; ++type)
        EXPECT_FALSE(d3d->CreateDevice(window.Get(), type, 640, 480)) << type;
    EXPECT_EQ(d3d->CreateObject(kIdRawDevice), nullptr);
    EXPECT_FALSE(d3d->ResetDevice(640, 480));
    EXPECT_FALSE(d3d->BeginScene());
    d3d->EndScene();
    EXPECT_FALSE(d3d->Present());
    EXPECT_FALSE(d3d->ReleaseDevice());
    RefPtr<CKYRD3D> second(new CKYRD3D);  // a later instance does not retry either
    EXPECT_FALSE(second->GetAdapterInfo(&info, 640, 480));
}

// Registered only in the child, so the ordinary run neither runs nor lists it.
const bool kChildRegistered = IsChild() && (testing::RegisterTest(
    "WithoutD3D9Child", "InterfaceWorks", nullptr, nullptr, __FILE__, __LINE__,
    []() -> testing::Test* {
        struct T : testing::Test {
            void TestBody() override { InterfaceWorksWithoutDirect3D(); }
        };
        return new T;
    }), true);

// Wine's per-program overrides, keyed by the executable's file name: the copy run as the child
// gets d3d9 disabled, this program keeps it.
class ScopedAppOverride {
public:
    explicit ScopedAppOverride(const std::string& exeName)
        : key_("Software\\Wine\\AppDefaults\\" + exeName) {
        HKEY key = nullptr;
        const std::string path = key_ + "\\DllOverrides";
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        // An empty load order is Wine's "disabled".
        ok_ = RegSetValueExA(key, "d3d9", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1) ==
              ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~ScopedAppOverride() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string key_;
    bool ok_ = false;
};

// Runs a copy of this program as a child with d3d9 disabled and the child marker set. (Wine
// takes WINEDLLOVERRIDES from the Unix environment only: set in the Windows environment for a
// child it has no effect, seen with Wine 8.0.)
TEST(WithoutD3D9, ChildRunPasses) {
    ASSERT_FALSE(IsChild());
    char exe[MAX_PATH], temp[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string copyName = "graphics_tests_without_d3d9.exe";
    const std::string copy = std::string(temp) + copyName;
    ASSERT_TRUE(CopyFileA(exe, copy.c_str(), FALSE)) << GetLastError();
    ScopedAppOverride override(copyName);
    ASSERT_TRUE(override.ok());

    ASSERT_TRUE(SetEnvironmentVariableA(kChildMarker, "1"));
    std::string command = "\"" + copy + "\" --gtest_filter=WithoutD3D9Child.*";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(kChildMarker, nullptr);
    ASSERT_TRUE(started) << GetLastError();
    DWORD code = 1;
    {
        ScopedHandle process(pi.hProcess), thread(pi.hThread);
        ASSERT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
        GetExitCodeProcess(process.Get(), &code);
    }
    DeleteFileA(copy.c_str());
    EXPECT_EQ(code, 0u) << "the d3d9-disabled run failed (its output is above)";
}

}  // namespace
