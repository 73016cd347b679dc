#include <gtest/gtest.h>

#include <process.h>

#include "GraphicsTestSupport.h"
#include "engine/core/ScopedHandle.h"

namespace {

using namespace KYR;
using namespace KYR::test;

struct ClearJob {
    CKYRD3D* d3d;
    HANDLE started;
    HANDLE done;
};

unsigned __stdcall ClearFromOtherThread(void* p) {
    auto* job = static_cast<ClearJob*>(p);
    SetEvent(job->started);
    job->d3d->Clear(0xFF0000FF);
    SetEvent(job->done);
    return 0;
}

// A frame is atomic: another thread's Clear waits from BeginScene until EndScene.
TEST_F(DeviceTest, OtherThreadsWaitForTheEndOfTheScene) {
    ScopedHandle started(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ScopedHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ClearJob job = {d3d_.Get(), started.Get(), done.Get()};

    ASSERT_TRUE(d3d_->BeginScene());
    ScopedHandle thread(reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, ClearFromOtherThread, &job, 0, nullptr)));
    ASSERT_TRUE(thread.Valid());
    ASSERT_EQ(WaitForSingleObject(started.Get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(done.Get(), 300), static_cast<DWORD>(WAIT_TIMEOUT))
        << "Clear ran inside another thread's scene";
    d3d_->Clear(0xFF00FF00);  // the lock is recursive for the thread that holds it
    d3d_->EndScene();
    EXPECT_EQ(WaitForSingleObject(done.Get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 5000), WAIT_OBJECT_0);
}

// Even a failing BeginScene holds the lock until its EndScene.
TEST(SceneLock, HeldWithoutADevice) {
    RefPtr<CKYRD3D> d3d(new CKYRD3D);
    ScopedHandle started(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ScopedHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ClearJob job = {d3d.Get(), started.Get(), done.Get()};
    EXPECT_FALSE(d3d->BeginScene());
    ScopedHandle thread(reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, ClearFromOtherThread, &job, 0, nullptr)));
    ASSERT_TRUE(thread.Valid());
    ASSERT_EQ(WaitForSingleObject(started.Get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(done.Get(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
    d3d->EndScene();
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 5000), WAIT_OBJECT_0);
}

}  // namespace
