// Events, locks and the engine singletons.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/core/CriticalSection.h"
#include "engine/core/EventList.h"
#include "engine/core/GDebug.h"
#include "engine/core/GFEP.h"
#include "engine/core/LazyDll.h"

namespace {

using namespace KYR;

bool IsOpenHandle(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != 0;
}

int creations = 0;
HANDLE WINAPI FailSecond(LPSECURITY_ATTRIBUTES sa, BOOL manual, BOOL initial, LPCSTR name) {
    return ++creations == 2 ? nullptr : CreateEventA(sa, manual, initial, name);
}

TEST(EventList, AllEventsMadeManualResetAndUnsignalled) {
    CEventList list;
    ASSERT_TRUE(list.IsValid());
    ASSERT_EQ(list.Count(), 2);
    for (int i = 0; i < list.Count(); ++i) {
        HANDLE h = list.Handles()[i];
        EXPECT_EQ(WaitForSingleObject(h, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        SetEvent(h);
        EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);  // manual reset: still set
    }
}

TEST(EventList, ASecondFailureLeavesItInvalidAndClosesOnlyTheFirst) {
    creations = 0;
    HANDLE first = nullptr;
    {
        CEventList list(FailSecond);
        EXPECT_FALSE(list.IsValid());
        first = list.Handles()[0];
        EXPECT_TRUE(IsOpenHandle(first));
        EXPECT_EQ(list.Handles()[1], nullptr);
    }
    EXPECT_FALSE(IsOpenHandle(first));
}

TEST(Singletons, NewestInstanceWinsAndDestructionClears) {
    {
        CGDebug first;
        EXPECT_EQ(CGDebug::GetInstance(), &first);
        CCriticalSection* lock = ProcessLock().get();
        ASSERT_NE(lock, nullptr);
        {
            CGDebug second;
            EXPECT_EQ(CGDebug::GetInstance(), &second);
            EXPECT_EQ(ProcessLock().get(), lock);  // the lock is kept, not replaced
        }
        EXPECT_EQ(CGDebug::GetInstance(), nullptr);
    }
    {
        CGFEP fep;
        EXPECT_EQ(CGFEP::GetInstance(), &fep);
        ASSERT_NE(fep.Block(), nullptr);
        EXPECT_EQ(fep.BlockSize(), 1024u);
        const auto* bytes = static_cast<const unsigned char*>(fep.Block());
        for (int i = 0; i < 1024; ++i) ASSERT_EQ(bytes[i], 0) << i;
    }
    EXPECT_EQ(CGFEP::GetInstance(), nullptr);
}

TEST(Locks, AutoLockHoldsForItsScopeAndIsRecursive) {
    CCriticalSection cs;
    std::atomic<bool> otherGotIn{false};
    std::thread other;
    {
        KYRAutoLock outer(&cs);
        KYRAutoLock inner(&cs);  // re-entered by the owning thread
        other = std::thread([&] {
            KYRAutoLock l(&cs);
            otherGotIn = true;
        });
        Sleep(50);
        EXPECT_FALSE(otherGotIn);
    }
    // Leaving both scopes lets the other thread in.
    other.join();
    EXPECT_TRUE(otherGotIn);
}

TEST(LazyModule, AMissingDllOrExportIsNullNotAnError) {
    LazyModule missing("kyr-no-such-library.dll");
    EXPECT_EQ(missing.Proc("Anything"), nullptr);
    LazyModule kernel("kernel32.dll");
    EXPECT_NE(kernel.Proc("GetTickCount"), nullptr);
    EXPECT_EQ(kernel.Proc("NoSuchExportHere"), nullptr);
}

}  // namespace
