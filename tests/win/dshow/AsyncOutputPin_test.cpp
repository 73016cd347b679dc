// The stream source filter's pin as a parser sees it: connection rules, media types, the
// synchronous reads and the queued path, driven through a small pull pin.
#include <windows.h>

#include <dshow.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SourceRig.h"
#include "engine/core/ComApartment.h"

namespace {

using namespace KYR;
using kyrtest::CommittedAllocator;
using kyrtest::PulledSource;
using kyrtest::PullFilter;
using kyrtest::SampleFor;
using kyrtest::SourceRig;

class AsyncPin : public ::testing::Test {
protected:
    ComApartment apartment_;
};

TEST_F(AsyncPin, FilterFindsOnlyTheIdOut) {
    SourceRig rig(100);
    CLSID clsid;
    ASSERT_EQ(rig.filter->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_KYRDataStreamReader);
    struct Row {
        const wchar_t* id;
        HRESULT hr;
    } rows[] = {
        {L"Out", S_OK},
        {L"Source Output", VFW_E_NOT_FOUND},  // the display name is not an id
        {L"out", VFW_E_NOT_FOUND},
        {L"", VFW_E_NOT_FOUND},
    };
    for (const Row& r : rows) {
        RefPtr<IPin> pin;
        EXPECT_EQ(rig.filter->FindPin(r.id, pin.Put()), r.hr) << std::wstring(r.id).size();
        EXPECT_EQ(pin.Get() != nullptr, r.hr == S_OK);
    }
    // The id the pin gives is one FindPin finds: a graph that saves and restores pins by id
    // relies on that.
    LPWSTR id = nullptr;
    ASSERT_EQ(rig.out->QueryId(&id), S_OK);
    RefPtr<IPin> again;
    EXPECT_EQ(rig.filter->FindPin(id, again.Put()), S_OK);
    EXPECT_EQ(again.Get(), rig.out.Get());
    CoTaskMemFree(id);
    PIN_INFO info;
    ASSERT_EQ(rig.out->QueryPinInfo(&info), S_OK);
    EXPECT_STREQ(info.achName, L"Source Output");
    EXPECT_EQ(info.dir, PINDIR_OUTPUT);
    info.pFilter->Release();
}

TEST_F(AsyncPin, OneMediaTypeOffered) {
    SourceRig rig(100, MEDIASUBTYPE_Avi);
    RefPtr<IEnumMediaTypes> types;
    ASSERT_EQ(rig.out->EnumMediaTypes(types.Put()), S_OK);
    AM_MEDIA_TYPE* got[2] = {};
    ULONG n = 0;
    EXPECT_EQ(types->Next(2, got, &n), S_FALSE);
    ASSERT_EQ(n, 1u);
    EXPECT_EQ(got[0]->majortype, MEDIATYPE_Stream);
    EXPECT_EQ(got[0]->subtype, MEDIASUBTYPE_Avi);
    DeleteMediaType(got[0]);
}

TEST_F(AsyncPin, AcceptsBySubtypeOrByMajorTypeWhenSubtypeIsOpen) {
    struct Row {
        GUID storedSubtype;
        GUID major, subtype;
        HRESULT accept;
    } rows[] = {
        {MEDIASUBTYPE_WAVE, MEDIATYPE_Stream, MEDIASUBTYPE_WAVE, S_OK},
        {MEDIASUBTYPE_WAVE, MEDIATYPE_Audio, MEDIASUBTYPE_WAVE, S_OK},  // the subtype decides
        {MEDIASUBTYPE_WAVE, MEDIATYPE_Stream, MEDIASUBTYPE_Avi, S_FALSE},
        {MEDIASUBTYPE_WAVE, MEDIATYPE_Stream, GUID_NULL, S_FALSE},
        {GUID_NULL, MEDIATYPE_Stream, MEDIASUBTYPE_Avi, S_OK},  // open: any stream subtype
        {GUID_NULL, MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1System, S_OK},
        {GUID_NULL, MEDIATYPE_Video, MEDIASUBTYPE_Avi, S_FALSE},
    };
    for (const Row& r : rows) {
        SourceRig rig(10, r.storedSubtype);
        CMediaType offered(r.major);
        offered.SetSubtype(r.subtype);
        EXPECT_EQ(rig.out->QueryAccept(&offered), r.accept);
    }
}

TEST_F(AsyncPin, ConnectsOnlyToAPinThatAsksForTheReader) {
    {
        PulledSource pulled(100);
        EXPECT_EQ(pulled.connect, S_OK);
        ASSERT_NE(pulled.Reader(), nullptr);
        RefPtr<IPin> peer;
        EXPECT_EQ(pulled.out->ConnectedTo(peer.Put()), S_OK);
    }
    {
        SourceRig rig(100);
        auto* push = new PullFilter(/*askForReader=*/false);
        RefPtr<IBaseFilter> holder;
        push->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(holder.Put()));
        EXPECT_TRUE(FAILED(rig.out->Connect(push->Pin(), nullptr)));
        // Both sides are undone: neither counts itself connected, and the peer let go of
        // what it had set up.
        RefPtr<IPin> peer;
        EXPECT_EQ(rig.out->ConnectedTo(peer.Put()), VFW_E_NOT_CONNECTED);
        EXPECT_EQ(push->Pin()->ConnectedTo(peer.Put()), VFW_E_NOT_CONNECTED);
        EXPECT_GE(push->Pin()->BreakCount(), 1);
        AM_MEDIA_TYPE mt;
        EXPECT_EQ(rig.out->ConnectionMediaType(&mt), VFW_E_NOT_CONNECTED);
    }
    {
        // Two outputs never connect, whoever starts.
        SourceRig a(10), b(10);
        EXPECT_EQ(a.out->Connect(b.out.Get(), nullptr), VFW_E_INVALID_DIRECTION);
        CMediaType type(MEDIATYPE_Stream);
        type.SetSubtype(MEDIASUBTYPE_WAVE);
        EXPECT_EQ(a.out->ReceiveConnection(b.out.Get(), &type), VFW_E_INVALID_DIRECTION);
    }
}

TEST_F(AsyncPin, SyncReadCutsAtTheEndAndSaysSo) {
    PulledSource pulled(1000);
    ASSERT_EQ(pulled.connect, S_OK);
    IAsyncReader* reader = pulled.Reader();
    LONGLONG total = 0, available = 0;
    ASSERT_EQ(reader->Length(&total, &available), S_OK);
    EXPECT_EQ(total, 1000);
    EXPECT_EQ(available, 1000);
    struct Row {
        LONGLONG position;
        LONG length;
        HRESULT hr;
        LONG valid;  // bytes that must match the stream
    } rows[] = {
        {0, 1000, S_OK, 1000},
        {10, 20, S_OK, 20},
        {900, 200, S_FALSE, 100},   // cut: the caller must learn the tail is not data
        {1000, 0, S_OK, 0},         // nothing at the very end is a success
        {1000, 1, S_FALSE, 0},
        {1001, 1, HRESULT_FROM_WIN32(ERROR_HANDLE_EOF), 0},  // starts past the end
        {-1, 1, E_INVALIDARG, 0},
    };
    for (const Row& r : rows) {
        std::vector<uint8_t> buffer(1200, 0xEE);
        EXPECT_EQ(reader->SyncRead(r.position, r.length, buffer.data()), r.hr)
            << r.position << "+" << r.length;
        if (r.valid > 0) {
            EXPECT_EQ(std::memcmp(buffer.data(), pulled.data.data() + r.position, r.valid), 0);
        }
        // Nothing is written past what was read.
        EXPECT_EQ(buffer[r.valid], 0xEE) << r.position << "+" << r.length;
    }
}

TEST_F(AsyncPin, SyncReadAlignedFillsTheSample) {
    PulledSource pulled(1000);
    ASSERT_EQ(pulled.connect, S_OK);
    RefPtr<IMemAllocator> alloc = CommittedAllocator(1, 256);
    struct Row {
        int64_t position, length;
        HRESULT hr;
        LONG actual;
        REFERENCE_TIME stopAfter;  // in bytes
        REFERENCE_TIME startUnits = 0;  // added to the start time, below one byte
    } rows[] = {
        {0, 256, S_OK, 256, 256},
        {900, 200, S_OK, 100, 1000},           // cut: the stop time moves to the end
        {900, 200, S_OK, 100, 1000, 5},        // and only the stop time
        {1000, 0, S_OK, 0, 1000},
        {0, 257, VFW_E_BUFFER_OVERFLOW, 0, 257},  // more than the buffer holds
    };
    for (const Row& r : rows) {
        RefPtr<IMediaSample> s = SampleFor(alloc.Get(), r.position, r.length);
        ASSERT_TRUE(s);
        REFERENCE_TIME start = r.position * kUnitsPerByte + r.startUnits;
        REFERENCE_TIME stop = (r.position + r.length) * kUnitsPerByte;
        s->SetTime(&start, &stop);
        EXPECT_EQ(pulled.Reader()->SyncReadAligned(s.Get()), r.hr) << r.position;
        s->GetTime(&start, &stop);
        EXPECT_EQ(start, r.position * kUnitsPerByte + r.startUnits);
        EXPECT_EQ(stop, r.stopAfter * kUnitsPerByte);
        if (SUCCEEDED(r.hr)) {
            EXPECT_EQ(s->GetActualDataLength(), r.actual);
            BYTE* p = nullptr;
            s->GetPointer(&p);
            EXPECT_EQ(std::memcmp(p, pulled.data.data() + r.position, r.actual), 0);
        }
    }
}

TEST_F(AsyncPin, RequestAllocatorPrefersTheCallersAndFixesTheAlignment) {
    PulledSource pulled(100);
    ASSERT_EQ(pulled.connect, S_OK);
    RefPtr<IMemAllocator> preferred;
    ASSERT_EQ(CMemAllocator::Create(preferred.Put()), S_OK);
    ALLOCATOR_PROPERTIES props = {4, 64, 0, 0};
    RefPtr<IMemAllocator> actual;
    EXPECT_EQ(pulled.Reader()->RequestAllocator(preferred.Get(), &props, actual.Put()), S_OK);
    EXPECT_EQ(actual.Get(), preferred.Get());
    EXPECT_EQ(props.cbAlign, 1);  // 0 is not an alignment: the stream's is used
    ALLOCATOR_PROPERTIES set = {};
    preferred->GetProperties(&set);
    EXPECT_EQ(set.cBuffers, 4);
    EXPECT_EQ(set.cbBuffer, 64);

    // A preferred allocator that refuses (committed) gives way to one of our own.
    ASSERT_EQ(preferred->Commit(), S_OK);
    RefPtr<IMemAllocator> fallback;
    EXPECT_EQ(pulled.Reader()->RequestAllocator(preferred.Get(), &props, fallback.Put()), S_OK);
    ASSERT_TRUE(fallback);
    EXPECT_NE(fallback.Get(), preferred.Get());
    EXPECT_EQ(pulled.Reader()->RequestAllocator(nullptr, &props, fallback.Put()), E_POINTER);
    EXPECT_FALSE(fallback);
}

TEST_F(AsyncPin, QueuedRequestsComeBackFilledAndCut) {
    PulledSource pulled(1000);
    ASSERT_EQ(pulled.connect, S_OK);
    IAsyncReader* reader = pulled.Reader();
    RefPtr<IMemAllocator> alloc = CommittedAllocator(4, 300);
    struct Row {
        int64_t position, length;
        LONG actual;
        REFERENCE_TIME stopAfter;
    } rows[] = {
        {0, 300, 300, 300},
        {900, 200, 100, 1000},  // past the end: cut, stop time moved to the end
        {1000, 0, 0, 1000},     // zero bytes at the very end
        {500, 10, 10, 510},
    };
    DWORD_PTR cookie = 100;
    for (const Row& r : rows) {
        RefPtr<IMediaSample> s = SampleFor(alloc.Get(), r.position, r.length);
        ASSERT_TRUE(s);
        // The queue borrows the sample: our reference travels with the request.
        ASSERT_EQ(reader->Request(s.Get(), cookie++), S_OK);
        s.Detach();
    }
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        IMediaSample* raw = nullptr;
        DWORD_PTR user = 0;
        ASSERT_EQ(reader->WaitForNext(30000, &raw, &user), S_OK);
        RefPtr<IMediaSample> s(raw);
        ASSERT_TRUE(s);
        const Row& r = rows[user - 100];  // the cookie tells which request came back
        EXPECT_EQ(s->GetActualDataLength(), r.actual);
        REFERENCE_TIME start, stop;
        s->GetTime(&start, &stop);
        EXPECT_EQ(start, r.position * kUnitsPerByte);
        EXPECT_EQ(stop, r.stopAfter * kUnitsPerByte);
        BYTE* p = nullptr;
        s->GetPointer(&p);
        EXPECT_EQ(std::memcmp(p, pulled.data.data() + r.position, r.actual), 0);
    }
    IMediaSample* none = nullptr;
    DWORD_PTR user = 0;
    EXPECT_EQ(reader->WaitForNext(0, &none, &user), VFW_E_TIMEOUT);
    EXPECT_EQ(none, nullptr);

    // Refused requests stay with the caller.
    RefPtr<IMediaSample> past = SampleFor(alloc.Get(), 1001, 1);
    EXPECT_TRUE(FAILED(reader->Request(past.Get(), 1)));
    RefPtr<IMediaSample> big = SampleFor(alloc.Get(), 0, 301);
    EXPECT_EQ(reader->Request(big.Get(), 2), VFW_E_BUFFER_OVERFLOW);
    EXPECT_EQ(reader->WaitForNext(0, &none, &user), VFW_E_TIMEOUT);
}

TEST_F(AsyncPin, FlushRefusesNewRequestsAndReturnsEveryQueuedSample) {
    PulledSource pulled(1000);
    ASSERT_EQ(pulled.connect, S_OK);
    IAsyncReader* reader = pulled.Reader();
    RefPtr<IMemAllocator> alloc = CommittedAllocator(3, 100);
    for (int i = 0; i < 3; ++i) {
        RefPtr<IMediaSample> s = SampleFor(alloc.Get(), i * 100, 100);
        ASSERT_EQ(reader->Request(s.Get(), i), S_OK);
        s.Detach();
    }
    ASSERT_EQ(reader->BeginFlush(), S_OK);
    RefPtr<IMediaSample> late = SampleFor(alloc.Get(), 0, 1);
    EXPECT_FALSE(late);  // all three are out with the reader
    int back = 0;
    for (;;) {
        IMediaSample* raw = nullptr;
        DWORD_PTR user = 0;
        const HRESULT hr = reader->WaitForNext(30000, &raw, &user);
        if (hr == VFW_E_WRONG_STATE && !raw) break;  // flushing and nothing left
        ASSERT_NE(raw, nullptr) << std::hex << hr;
        // Read before the flush (S_OK) or taken back unread (VFW_E_TIMEOUT).
        EXPECT_TRUE(hr == S_OK || hr == VFW_E_TIMEOUT) << std::hex << hr;
        raw->Release();
        ASSERT_LT(++back, 4);
    }
    EXPECT_EQ(back, 3);
    late = SampleFor(alloc.Get(), 0, 1);
    ASSERT_TRUE(late);
    EXPECT_EQ(reader->Request(late.Get(), 9), VFW_E_WRONG_STATE);
    ASSERT_EQ(reader->EndFlush(), S_OK);
    ASSERT_EQ(reader->Request(late.Get(), 9), S_OK);
    late.Detach();
    IMediaSample* raw = nullptr;
    DWORD_PTR user = 0;
    EXPECT_EQ(reader->WaitForNext(30000, &raw, &user), S_OK);
    EXPECT_EQ(user, 9u);
    if (raw) raw->Release();
}

}  // namespace
