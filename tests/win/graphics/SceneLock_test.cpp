#include <gtest/gtest.h>

#include <process.h>

#include "GraphicsTestSupport.h"
#include "engine/core/ScopedHandle.h"

namespace {

using namespace KYR;
using namespace KYR::test;

struct ClearJob {
    CKYRD3D* d3d;
    ScopedHandle started{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    ScopedHandle done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

unsigned __stdcall ClearFromOtherThread(void* p) {
    auto* job = static_cast<ClearJob*>(p);
    SetEvent(job->started.Get());
    job->d3d->Clear(0xFF0000FF);
    SetEvent(job->done.Get());
    return 0;
}

// A frame is atomic: another thread's Clear waits from BeginScene until EndScene, also when
// BeginScene failed for want of a device.
void ExpectClearWaitsForEndScene(CKYRD3D& d3d, bool sceneBegins) {
    ClearJob job{&d3d};
    EXPECT_EQ(d3d.BeginScene(), sceneBegins);
    ScopedHandle thread(reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, ClearFromOtherThread, &job, 0, nullptr)));
    ASSERT_TRUE(thread.Valid());
    ASSERT_EQ(WaitForSingleObject(job.started.Get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(job.done.Get(), 300), static_cast<DWORD>(WAIT_TIMEOUT))
        << "Clear ran inside another thread's scene";
    d3d.Clear(0xFF00FF00);  // the lock is recursive for the thread that holds it
    d3d.EndScene();
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 30000), WAIT_OBJECT_0);
}

TEST_F(DeviceTest, OtherThreadsWaitForTheEndOfTheScene) {
    ExpectClearWaitsForEndScene(*d3d_.Get(), true);
}

TEST(SceneLock, HeldWithoutADevice) {
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    ExpectClearWaitsForEndScene(*d3d.Get(), false);
}

}  // namespace
