// The request engine under pressure: a read held in progress while a flush begins, a worker
// that cannot start, and many requests with flushes from another thread.
#include <windows.h>

#include <dshow.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <random>

#include "SourceRig.h"
#include "engine/core/ComApartment.h"
#include "engine/core/ScopedHandle.h"
#include "engine/media/dshow/AsyncIo.h"

namespace {

using namespace KYR;
using kyrtest::CommittedAllocator;
using kyrtest::PulledSource;
using kyrtest::SampleFor;

// A stream whose reads wait at a gate the test opens, so a read can be held in progress.
class GatedStream : public CAsyncStream {
public:
    GatedStream()
        : gate_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          entered_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    HRESULT SeekTo(LONGLONG position) override {
        position_ = position;
        return S_OK;
    }
    HRESULT ReadBytes(BYTE* buffer, LONG length, BOOL, LONG* read) override {
        SetEvent(entered_.Get());
        WaitForSingleObject(gate_.Get(), INFINITE);
        std::memset(buffer, static_cast<int>(position_), length);
        *read = length;
        return S_OK;
    }
    LONGLONG GetTotalSize(LONGLONG* available) override {
        *available = 1 << 20;
        return 1 << 20;
    }
    LONG GetAlignment() override { return 1; }
    void LockStream() override { lock_.Enter(); }
    void UnlockStream() override { lock_.Leave(); }
    void Open() { SetEvent(gate_.Get()); }
    bool WaitEntered() { return WaitForSingleObject(entered_.Get(), 30000) == WAIT_OBJECT_0; }

private:
    ScopedHandle gate_, entered_;
    CCriticalSection lock_;
    LONGLONG position_ = 0;
};

// A thread running a function, joined (with a deadline the test checks) before it dies.
class TestThread {
public:
    template <class F>
    explicit TestThread(F f) : body_(new Body<F>(std::move(f))) {
        handle_.Reset(CreateThread(nullptr, 0, &Entry, body_.get(), 0, nullptr));
    }
    // A thread that does not end in two minutes is deadlocked: end the whole program with a
    // message rather than hang the test run.
    ~TestThread() {
        if (!Join(120000)) {
            std::fprintf(stderr, "a test thread never ended: deadlock\n");
            ExitProcess(3);
        }
    }
    bool Join(DWORD ms) {
        return !handle_.Valid() || WaitForSingleObject(handle_.Get(), ms) == WAIT_OBJECT_0;
    }

private:
    struct BodyBase {
        virtual ~BodyBase() = default;
        virtual void Run() = 0;
    };
    template <class F>
    struct Body : BodyBase {
        explicit Body(F f) : f_(std::move(f)) {}
        void Run() override { f_(); }
        F f_;
    };
    static DWORD WINAPI Entry(void* p) {
        static_cast<BodyBase*>(p)->Run();
        return 0;
    }
    std::unique_ptr<BodyBase> body_;
    ScopedHandle handle_;
};

TEST(DataStreamModule, ReadsWholeOrNothing) {
    const std::vector<uint8_t> data = kyrtest::BytePattern(100);
    RefPtr<CStdFileStream> stream(new CStdFileStream());
    ASSERT_TRUE(stream->OpenMemory(data.data(), 100));
    CDataStreamModule module(stream.Get());
    CDataStreamModule empty(nullptr);
    struct Row {
        CDataStreamModule* m;
        LONGLONG seek;
        LONG length;
        HRESULT seekHr, readHr;
        LONG read;
    } rows[] = {
        {&module, 0, 100, S_OK, S_OK, 100},
        {&module, 60, 40, S_OK, S_OK, 40},
        {&module, 60, 41, S_OK, E_FAIL, 0},     // would run past the end
        {&module, 100, 0, S_OK, S_OK, 0},       // nothing, at the end, is a success
        {&module, -1, 1, E_INVALIDARG, S_OK, 1},
        // Above 32 bits the stream cannot go; the low half would be an unrelated place.
        {&module, (1LL << 32) + 5, 1, E_INVALIDARG, S_OK, 1},
        {&empty, 0, 1, E_FAIL, E_FAIL, 0},      // no stream at all
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.m->SeekTo(r.seek), r.seekHr) << r.seek;
        if (FAILED(r.seekHr)) r.m->SeekTo(0);
        std::vector<BYTE> buffer(200, 0xEE);
        LONG read = -1;
        EXPECT_EQ(r.m->ReadBytes(buffer.data(), r.length, TRUE, &read), r.readHr) << r.seek;
        EXPECT_EQ(read, r.read) << r.seek;
        if (r.readHr == S_OK && SUCCEEDED(r.seekHr)) {
            EXPECT_EQ(std::memcmp(buffer.data(), data.data() + r.seek, r.read), 0);
        }
    }
    LONGLONG available = 0;
    EXPECT_EQ(module.GetTotalSize(&available), 100);
    EXPECT_EQ(available, 100);
    EXPECT_EQ(empty.GetTotalSize(&available), 0);
}

TEST(AsyncIo, FlushWaitsForTheReadInProgressAndReturnsQueuedOnesUnread) {
    GatedStream stream;
    CAsyncIo io(&stream);
    ASSERT_TRUE(io.IsValid());
    BYTE a[4], b[4], c[4];
    ASSERT_EQ(io.Request(0, 4, TRUE, a, a, 1), S_OK);
    ASSERT_TRUE(stream.WaitEntered());  // the worker holds request 1 in its read
    ASSERT_EQ(io.Request(7, 4, TRUE, b, b, 2), S_OK);
    ASSERT_EQ(io.Request(9, 4, TRUE, c, c, 3), S_OK);

    std::atomic<bool> flushed{false};
    TestThread flusher([&] {
        io.BeginFlush();
        flushed = true;
    });
    // Whatever happens below, the held read is let go before the flusher is joined.
    struct GateOpener {
        GatedStream& s;
        ~GateOpener() { s.Open(); }
    } opener{stream};
    // Requests made before the flush starts are queued like the others; once it has
    // started, new ones are refused at once while it waits for the read in progress.
    BYTE d[4];
    DWORD_PTR nextUser = 4;
    HRESULT late = S_OK;
    for (int i = 0; i < 3000 && late != VFW_E_WRONG_STATE; ++i) {
        late = io.Request(0, 4, TRUE, d, d, nextUser);
        if (late == S_OK) ++nextUser;
        Sleep(10);
    }
    ASSERT_EQ(late, VFW_E_WRONG_STATE);
    EXPECT_FALSE(flushed);
    stream.Open();
    ASSERT_TRUE(flusher.Join(30000));

    // The queued ones first, in order and unread; the read in progress last, done.
    for (DWORD_PTR expected = 2; expected <= nextUser; ++expected) {
        const DWORD_PTR want = expected == nextUser ? 1 : expected;
        void* context = nullptr;
        DWORD_PTR user = 0;
        LONG length = -1;
        EXPECT_EQ(io.WaitForNext(0, &context, &user, &length),
                  want == 1 ? S_OK : VFW_E_TIMEOUT);
        EXPECT_EQ(user, want);
        EXPECT_NE(context, nullptr);
    }
    EXPECT_EQ(a[0], 0);  // read at position 0
    void* context = nullptr;
    DWORD_PTR user = 0;
    LONG length = 0;
    EXPECT_EQ(io.WaitForNext(0, &context, &user, &length), VFW_E_WRONG_STATE);
    EXPECT_EQ(context, nullptr);
    EXPECT_EQ(io.EndFlush(), S_OK);
    EXPECT_EQ(io.WaitForNext(0, &context, &user, &length), VFW_E_TIMEOUT);
}

// Two threads flushing one reader while a read is in progress: both wake when it ends.
TEST(AsyncIo, TwoFlushesAtOnceBothReturn) {
    GatedStream stream;
    CAsyncIo io(&stream);
    BYTE a[4];
    ASSERT_EQ(io.Request(0, 4, TRUE, a, a, 1), S_OK);
    ASSERT_TRUE(stream.WaitEntered());
    TestThread first([&] { io.BeginFlush(); }), second([&] { io.BeginFlush(); });
    Sleep(500);  // both reach their wait for the read in progress
    stream.Open();
    EXPECT_TRUE(first.Join(30000) && second.Join(30000)) << "a flush never woke";
}

// An engine whose worker can never start, as when the process is out of threads.
class NoThreadIo : public CAsyncIo {
public:
    using CAsyncIo::CAsyncIo;

protected:
    HRESULT StartWorker() override { return HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY); }
};

TEST(AsyncIo, RequestThatCannotStartTheWorkerIsNotLeftQueued) {
    GatedStream stream;
    stream.Open();
    NoThreadIo io(&stream);
    BYTE buffer[4];
    EXPECT_EQ(io.Request(0, 4, TRUE, buffer, buffer, 1),
              HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY));
    // A flush hands back whatever is queued: the refused request must not be among them,
    // or its sample would reach the caller a second time.
    EXPECT_EQ(io.BeginFlush(), S_OK);
    void* context = nullptr;
    DWORD_PTR user = 0;
    LONG length = 0;
    EXPECT_EQ(io.WaitForNext(0, &context, &user, &length), VFW_E_WRONG_STATE);
    EXPECT_EQ(context, nullptr);
    EXPECT_EQ(io.EndFlush(), S_OK);
}

// Many requests in flight, synchronous reads beside them and flushes from another thread:
// everything ends (no deadlock), every sample comes back to the allocator, and every byte
// that was reported read is the stream's.
TEST(AsyncIo, FlushStressEndsWithNoDeadlockAndNoLeakedSample) {
    ComApartment apartment;
    constexpr LONG kBuffers = 8, kBufferSize = 512;
    constexpr int kFlushes = 150;
    PulledSource pulled(64 * 1024);
    ASSERT_EQ(pulled.connect, S_OK);
    IAsyncReader* reader = pulled.Reader();
    RefPtr<IMemAllocator> alloc = CommittedAllocator(kBuffers, kBufferSize);
    const std::vector<uint8_t>& data = pulled.data;

    std::atomic<bool> stop{false};
    std::atomic<int> badBytes{0}, readsOk{0}, flushedBack{0}, syncReads{0};
    LONG outstanding = 0;  // the puller's own count

    auto checkSample = [&](IMediaSample* s) {
        REFERENCE_TIME start, stop2;
        s->GetTime(&start, &stop2);
        BYTE* p = nullptr;
        s->GetPointer(&p);
        const LONG n = s->GetActualDataLength();
        if (std::memcmp(p, data.data() + start / kUnitsPerByte, n) != 0) ++badBytes;
    };

    TestThread puller([&] {
        std::mt19937 rng(7);
        for (;;) {
            if (!stop) {
                // Fill the queue with whatever samples are free.
                for (;;) {
                    RefPtr<IMediaSample> s;
                    if (alloc->GetBuffer(s.Put(), nullptr, nullptr, AM_GBF_NOWAIT) != S_OK) break;
                    const int64_t pos = rng() % (data.size() + 100);  // some past the end
                    REFERENCE_TIME start = pos * kUnitsPerByte;
                    REFERENCE_TIME end = (pos + 1 + rng() % kBufferSize) * kUnitsPerByte;
                    s->SetTime(&start, &end);
                    if (reader->Request(s.Get(), 0) == S_OK) {
                        s.Detach();
                        ++outstanding;
                    }
                }
            } else if (outstanding == 0) {
                return;
            }
            IMediaSample* raw = nullptr;
            DWORD_PTR user = 0;
            const HRESULT hr = reader->WaitForNext(stop ? 30000 : 20, &raw, &user);
            if (raw) {
                --outstanding;
                if (hr == S_OK) {
                    checkSample(raw);
                    ++readsOk;
                } else {
                    ++flushedBack;
                }
                raw->Release();
            } else if (stop && hr == VFW_E_TIMEOUT) {
                ++badBytes;  // a sample that never came back
                return;
            }
        }
    });
    TestThread syncReader([&] {
        std::mt19937 rng(11);
        std::vector<BYTE> buffer(kBufferSize);
        while (!stop) {
            const LONGLONG pos = rng() % data.size();
            const LONG len = 1 + rng() % kBufferSize;
            const HRESULT hr = reader->SyncRead(pos, len, buffer.data());
            const LONG valid = static_cast<LONG>(std::min<LONGLONG>(len, data.size() - pos));
            if (FAILED(hr) || std::memcmp(buffer.data(), data.data() + pos, valid) != 0)
                ++badBytes;
            ++syncReads;
            Sleep(0);  // let the worker at the stream lock between reads
        }
    });
    {
        TestThread flusher([&] {
            for (int i = 0; i < kFlushes; ++i) {
                reader->BeginFlush();
                Sleep(i % 3);
                reader->EndFlush();
                Sleep(i % 2);
            }
        });
        ASSERT_TRUE(flusher.Join(240000)) << "flush deadlocked";
    }
    stop = true;
    ASSERT_TRUE(puller.Join(120000)) << "puller deadlocked";
    ASSERT_TRUE(syncReader.Join(120000)) << "synchronous reader deadlocked";

    EXPECT_EQ(badBytes, 0);
    EXPECT_GT(readsOk, 0);
    EXPECT_GT(syncReads, 0);
    EXPECT_EQ(outstanding, 0);
    EXPECT_EQ(static_cast<CMemAllocator*>(alloc.Get())->OutstandingCount(), 0);
    // Black-box as well: every buffer can be had again at once.
    std::vector<RefPtr<IMediaSample>> all(kBuffers);
    for (auto& s : all)
        EXPECT_EQ(alloc->GetBuffer(s.Put(), nullptr, nullptr, AM_GBF_NOWAIT), S_OK);
    std::printf("stress: %d read, %d taken back by flushes, %d synchronous reads\n",
                readsOk.load(), flushedBack.load(), syncReads.load());
}

}  // namespace
