// The engine's own DirectShow base classes: media-type ownership, the allocator's blocking
// and decommit rules, COM identity, enumerators, and the filter's life in a real graph.
#include <windows.h>

#include <dshow.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "SourceRig.h"
#include "engine/core/ComApartment.h"
#include "engine/core/ScopedHandle.h"

namespace {

using namespace KYR;
using kyrtest::PulledSource;
using kyrtest::SourceRig;

// Counts its references so a test can see a media type's pUnk handled.
class CountedUnknown : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    ULONG refs = 1;
};

CMediaType TypeWithFormat(const GUID& major, const GUID& sub, const char* format) {
    CMediaType mt(major);
    mt.SetSubtype(sub);
    mt.SetFormatType(FORMAT_WaveFormatEx);
    mt.SetFormat(format, static_cast<ULONG>(std::strlen(format)));
    return mt;
}

TEST(MediaType, CopiesOwnTheirFormatAndReference) {
    CountedUnknown unk;
    CMediaType a = TypeWithFormat(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, "format-bytes");
    a.pUnk = &unk;
    unk.AddRef();
    {
        CMediaType b(a);
        EXPECT_NE(b.pbFormat, a.pbFormat);  // a deep copy, not a shared block
        EXPECT_TRUE(b == a);
        EXPECT_EQ(unk.refs, 3u);
        AM_MEDIA_TYPE* raw = CreateMediaType(&b);
        ASSERT_NE(raw, nullptr);
        EXPECT_EQ(unk.refs, 4u);
        DeleteMediaType(raw);
        b = b;  // self-assignment keeps everything
        EXPECT_TRUE(b == a);
        EXPECT_EQ(unk.refs, 3u);
    }
    EXPECT_EQ(unk.refs, 2u);
    a.Clear();
    EXPECT_EQ(unk.refs, 1u);
    EXPECT_EQ(a.pbFormat, nullptr);
    EXPECT_EQ(a.cbFormat, 0u);
}

TEST(MediaType, EqualityAndPartialMatch) {
    const CMediaType base = TypeWithFormat(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, "abcd");
    struct Row {
        CMediaType other;
        bool equal;
    } rows[] = {
        {TypeWithFormat(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, "abcd"), true},
        {TypeWithFormat(MEDIATYPE_Video, MEDIASUBTYPE_PCM, "abcd"), false},
        {TypeWithFormat(MEDIATYPE_Audio, MEDIASUBTYPE_WAVE, "abcd"), false},
        {TypeWithFormat(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, "abce"), false},  // format bytes
        {TypeWithFormat(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, "abc"), false},   // format size
    };
    for (const Row& r : rows) {
        EXPECT_EQ(base == r.other, r.equal);
        EXPECT_EQ(r.other == base, r.equal);  // symmetric
    }
    struct Partial {
        GUID major, sub;
        bool matches;
    } partials[] = {
        {GUID_NULL, GUID_NULL, true},
        {MEDIATYPE_Audio, GUID_NULL, true},
        {GUID_NULL, MEDIASUBTYPE_PCM, true},
        {MEDIATYPE_Video, GUID_NULL, false},
        {GUID_NULL, MEDIASUBTYPE_WAVE, false},
    };
    for (const Partial& p : partials) {
        CMediaType wanted;
        wanted.majortype = p.major;
        wanted.subtype = p.sub;
        EXPECT_TRUE(wanted.IsPartiallySpecified());
        EXPECT_EQ(wanted.MatchesPartial(base), p.matches);
    }
}

TEST(MemAllocator, PropertiesAreCheckedAndFixedWhileCommitted) {
    RefPtr<IMemAllocator> a;
    ASSERT_EQ(CMemAllocator::Create(a.Put()), S_OK);
    IMediaSample* sample = nullptr;
    EXPECT_EQ(a->Commit(), VFW_E_SIZENOTSET);
    EXPECT_EQ(a->GetBuffer(&sample, nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
    EXPECT_EQ(sample, nullptr);
    struct Row {
        ALLOCATOR_PROPERTIES props;
        HRESULT hr;
    } rows[] = {
        {{2, 100, 1, 0}, S_OK},
        {{2, 100, 16, 4}, S_OK},
        {{2, 100, 0, 0}, VFW_E_BADALIGN},
        {{2, 100, 3, 0}, VFW_E_BADALIGN},
        {{0, 100, 1, 0}, E_INVALIDARG},
        {{2, -1, 1, 0}, E_INVALIDARG},
        {{2, 100, 1, -4}, E_INVALIDARG},
        {{0x7FFFFFFF, 0x7FFFFFFF, 1, 0}, E_OUTOFMEMORY},  // no wrapped size
    };
    for (Row& r : rows) {
        ALLOCATOR_PROPERTIES got = {};
        EXPECT_EQ(a->SetProperties(&r.props, &got), r.hr)
            << r.props.cBuffers << " x " << r.props.cbBuffer << " / " << r.props.cbAlign;
    }
    ALLOCATOR_PROPERTIES want = {3, 100, 16, 4}, got = {};
    ASSERT_EQ(a->SetProperties(&want, &got), S_OK);
    ASSERT_EQ(a->Commit(), S_OK);
    EXPECT_EQ(a->SetProperties(&want, &got), VFW_E_ALREADY_COMMITTED);
    // Every buffer starts a prefix past the alignment, and buffers do not overlap.
    RefPtr<IMediaSample> s[3];
    BYTE* p[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(a->GetBuffer(s[i].Put(), nullptr, nullptr, 0), S_OK);
        s[i]->GetPointer(&p[i]);
        EXPECT_EQ((reinterpret_cast<UINT_PTR>(p[i]) - 4) % 16, 0u);
        EXPECT_EQ(s[i]->GetSize(), 100);
    }
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j)
            EXPECT_GE(p[i] > p[j] ? p[i] - p[j] : p[j] - p[i], 100);
    EXPECT_EQ(a->GetBuffer(&sample, nullptr, nullptr, AM_GBF_NOWAIT), VFW_E_TIMEOUT);
}

TEST(MemAllocator, ReturnedSamplesComeBackClean) {
    RefPtr<IMemAllocator> a = kyrtest::CommittedAllocator(1, 64);
    {
        RefPtr<IMediaSample> s;
        ASSERT_EQ(a->GetBuffer(s.Put(), nullptr, nullptr, 0), S_OK);
        REFERENCE_TIME t0 = 5, t1 = 9;
        s->SetTime(&t0, &t1);
        s->SetSyncPoint(TRUE);
        s->SetDiscontinuity(TRUE);
        s->SetActualDataLength(10);
        EXPECT_EQ(s->SetActualDataLength(65), VFW_E_BUFFER_OVERFLOW);
        CMediaType mt(MEDIATYPE_Audio);
        s->SetMediaType(&mt);
    }
    RefPtr<IMediaSample> s;
    ASSERT_EQ(a->GetBuffer(s.Put(), nullptr, nullptr, 0), S_OK);
    REFERENCE_TIME t0, t1;
    EXPECT_EQ(s->GetTime(&t0, &t1), VFW_E_SAMPLE_TIME_NOT_SET);
    EXPECT_EQ(s->IsSyncPoint(), S_FALSE);
    EXPECT_EQ(s->IsDiscontinuity(), S_FALSE);
    EXPECT_EQ(s->GetActualDataLength(), 0);
    AM_MEDIA_TYPE* type = nullptr;
    EXPECT_EQ(s->GetMediaType(&type), S_FALSE);
    // A start without a stop reads back as start + 1, flagged.
    REFERENCE_TIME only = 40;
    s->SetTime(&only, nullptr);
    EXPECT_EQ(s->GetTime(&t0, &t1), VFW_S_NO_STOP_TIME);
    EXPECT_EQ(t1, 41);
}

DWORD WINAPI GetBufferThread(void* p) {
    auto* args = static_cast<std::pair<IMemAllocator*, std::atomic<HRESULT>*>*>(p);
    IMediaSample* s = nullptr;
    *args->second = args->first->GetBuffer(&s, nullptr, nullptr, 0);
    if (s) s->Release();
    return 0;
}

TEST(MemAllocator, GetBufferWaitsForAReturnAndFailsOnceDecommitted) {
    RefPtr<IMemAllocator> a = kyrtest::CommittedAllocator(1, 16);
    for (int decommit = 0; decommit < 2; ++decommit) {
        RefPtr<IMediaSample> held;
        ASSERT_EQ(a->GetBuffer(held.Put(), nullptr, nullptr, 0), S_OK);
        std::atomic<HRESULT> result{E_PENDING};
        std::pair<IMemAllocator*, std::atomic<HRESULT>*> args{a.Get(), &result};
        ScopedHandle t(CreateThread(nullptr, 0, GetBufferThread, &args, 0, nullptr));
        EXPECT_EQ(WaitForSingleObject(t.Get(), 200), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(result.load(), E_PENDING);  // blocked while the only buffer is out
        if (decommit) {
            a->Decommit();
        } else {
            held.Reset();
        }
        ASSERT_EQ(WaitForSingleObject(t.Get(), 30000), static_cast<DWORD>(WAIT_OBJECT_0));
        EXPECT_EQ(result.load(), decommit ? VFW_E_NOT_COMMITTED : S_OK);
    }
    // Samples still out when decommitted come back safely, after which it commits again.
    RefPtr<IMediaSample> none;
    EXPECT_EQ(a->GetBuffer(none.Put(), nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
    EXPECT_EQ(a->Commit(), S_OK);
    EXPECT_EQ(a->GetBuffer(none.Put(), nullptr, nullptr, 0), S_OK);
}

TEST(MemAllocator, OutlivesItsReleaseWhileASampleIsOut) {
    IMemAllocator* a = nullptr;
    ASSERT_EQ(CMemAllocator::Create(&a), S_OK);
    ALLOCATOR_PROPERTIES want = {1, 8, 1, 0}, got = {};
    a->SetProperties(&want, &got);
    a->Commit();
    IMediaSample* s = nullptr;
    ASSERT_EQ(a->GetBuffer(&s, nullptr, nullptr, 0), S_OK);
    a->Decommit();
    EXPECT_GT(a->Release(), 0u);  // the sample still holds it
    BYTE* p = nullptr;
    s->GetPointer(&p);
    std::memset(p, 0x5A, 8);      // its memory is still there
    EXPECT_EQ(s->Release(), 0u);  // and now both go
}

TEST(ComIdentity, EveryInterfaceGivesTheSameUnknown) {
    PulledSource pulled(16);
    ASSERT_EQ(pulled.connect, S_OK);
    struct Row {
        IUnknown* object;
        const IID* iid;
    } rows[] = {
        {pulled.filter.Get(), &IID_IBaseFilter},
        {pulled.filter.Get(), &IID_IMediaFilter},
        {pulled.filter.Get(), &IID_IPersist},
        {pulled.out.Get(), &IID_IPin},
        {pulled.out.Get(), &IID_IAsyncReader},
    };
    RefPtr<IUnknown> filterUnknown, pinUnknown;
    pulled.filter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(filterUnknown.Put()));
    pulled.out->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(pinUnknown.Put()));
    EXPECT_NE(filterUnknown.Get(), pinUnknown.Get());  // the pin is an object of its own
    for (const Row& r : rows) {
        RefPtr<IUnknown> itf, back;
        ASSERT_EQ(r.object->QueryInterface(*r.iid, reinterpret_cast<void**>(itf.Put())), S_OK);
        ASSERT_EQ(itf->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(back.Put())), S_OK);
        EXPECT_EQ(back.Get(), r.object == pulled.filter.Get() ? filterUnknown.Get()
                                                               : pinUnknown.Get());
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(pulled.filter->QueryInterface(IID_IAsyncReader, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}

// A filter of two pins, each proposing two types; a test changes either list's version.
class TwoByTwo : public CBaseFilter {
public:
    class Pin : public CBasePin {
    public:
        Pin(TwoByTwo* f, CCriticalSection* lock) : CBasePin(f, lock, L"Out", PINDIR_OUTPUT) {}
        HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
        HRESULT GetMediaType(int i, CMediaType* mt) override {
            if (i < 0) return E_INVALIDARG;
            return i < 2 ? mt->Set(CMediaType(*kMajors[i])) : VFW_S_NO_MORE_ITEMS;
        }
        LONG GetMediaTypeVersion() override { return typeVersion; }
        LONG typeVersion = 1;
    };
    TwoByTwo() : CBaseFilter(L"TwoByTwo", &lock, GUID_NULL), a(this, &lock), b(this, &lock) {}
    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int i) override { return i == 0 ? &a : i == 1 ? &b : nullptr; }
    static constexpr const GUID* kMajors[2] = {&MEDIATYPE_Audio, &MEDIATYPE_Video};

    CCriticalSection lock;
    Pin a, b;
};

// Both enumerators, one walk over two items: is(item, i) tells item i of the filter, change
// alters the list under the enumerator.
template <class Enum, class Item>
struct EnumRow {
    HRESULT (*open)(TwoByTwo*, Enum**);
    bool (*is)(TwoByTwo*, Item, int);
    void (*free)(Item);
    void (*change)(TwoByTwo*);
};

template <class Enum, class Item>
void Walk(const EnumRow<Enum, Item>& row) {
    RefPtr<TwoByTwo> filter = RefPtr<TwoByTwo>::AddRefOf(new TwoByTwo);
    RefPtr<Enum> e;
    ASSERT_EQ(row.open(filter.Get(), e.Put()), S_OK);
    Item items[5] = {};
    ULONG n = 0;
    EXPECT_EQ(e->Next(2, items, nullptr), E_POINTER);  // more than one needs a count
    ASSERT_EQ(e->Next(1, items, nullptr), S_OK);
    EXPECT_TRUE(row.is(filter.Get(), items[0], 0));
    row.free(items[0]);
    ASSERT_EQ(e->Next(5, items, &n), S_FALSE);  // fewer than asked: the rest
    ASSERT_EQ(n, 1u);
    EXPECT_TRUE(row.is(filter.Get(), items[0], 1));
    row.free(items[0]);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(1), S_OK);
    RefPtr<Enum> copy;
    ASSERT_EQ(e->Clone(copy.Put()), S_OK);
    ASSERT_EQ(copy->Next(1, items, &n), S_OK);  // the clone goes on from where e stood
    EXPECT_TRUE(row.is(filter.Get(), items[0], 1));
    row.free(items[0]);
    EXPECT_EQ(e->Skip(2), S_FALSE);  // past the end
    EXPECT_EQ(e->Next(1, items, &n), S_FALSE);
    EXPECT_EQ(n, 0u);
    row.change(filter.Get());
    EXPECT_EQ(e->Next(1, items, &n), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(e->Skip(1), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(e->Clone(copy.Put()), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(e->Reset(), S_OK);  // resynchronises
    ASSERT_EQ(e->Next(5, items, &n), S_FALSE);
    ASSERT_EQ(n, 2u);
    row.free(items[0]);
    row.free(items[1]);
}

TEST(Enumerators, NextSkipCloneResetAndOutOfSync) {
    Walk(EnumRow<IEnumPins, IPin*>{
        [](TwoByTwo* f, IEnumPins** e) { return f->EnumPins(e); },
        [](TwoByTwo* f, IPin* p, int i) { return p == f->GetPin(i); },
        [](IPin* p) { p->Release(); },
        [](TwoByTwo* f) { f->IncrementPinVersion(); }});
    Walk(EnumRow<IEnumMediaTypes, AM_MEDIA_TYPE*>{
        [](TwoByTwo* f, IEnumMediaTypes** e) { return f->a.EnumMediaTypes(e); },
        [](TwoByTwo*, AM_MEDIA_TYPE* t, int i) {
            return IsEqualGUID(t->majortype, *TwoByTwo::kMajors[i]) != 0;
        },
        [](AM_MEDIA_TYPE* t) { DeleteMediaType(t); },
        [](TwoByTwo* f) { ++f->a.typeVersion; }});
}

TEST(BaseFilter, JoinsTheGraphAndFollowsItsStates) {
    ComApartment apartment;
    PulledSource pulled(4096);
    ASSERT_EQ(pulled.connect, S_OK);
    RefPtr<IFilterGraph> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph,
                               reinterpret_cast<void**>(graph.Put())),
              S_OK);
    ASSERT_EQ(graph->AddFilter(pulled.filter.Get(), L"Source"), S_OK);
    FILTER_INFO info;
    ASSERT_EQ(pulled.filter->QueryFilterInfo(&info), S_OK);
    EXPECT_STREQ(info.achName, L"Source");
    EXPECT_EQ(info.pGraph, graph.Get());
    if (info.pGraph) info.pGraph->Release();

    struct Step {
        HRESULT (*change)(IBaseFilter*);
        FILTER_STATE state;
    } steps[] = {
        {[](IBaseFilter* f) { return f->Run(0); }, State_Running},  // through Paused
        {[](IBaseFilter* f) { return f->Pause(); }, State_Paused},
        {[](IBaseFilter* f) { return f->Stop(); }, State_Stopped},
        {[](IBaseFilter* f) { return f->Pause(); }, State_Paused},
        {[](IBaseFilter* f) { return f->Stop(); }, State_Stopped},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(s.change(pulled.filter.Get()), S_OK);
        FILTER_STATE state;
        EXPECT_EQ(pulled.filter->GetState(0, &state), S_OK);
        EXPECT_EQ(state, s.state);
        // Connections change only while stopped.
        EXPECT_EQ(pulled.out->Disconnect() == VFW_E_NOT_STOPPED, s.state != State_Stopped);
        if (s.state == State_Stopped) {
            pulled.pull->Pin()->Disconnect();
            ASSERT_EQ(pulled.out->Connect(pulled.pull->Pin(), nullptr), S_OK);
        }
    }
    ASSERT_EQ(graph->RemoveFilter(pulled.filter.Get()), S_OK);
    ASSERT_EQ(pulled.filter->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(info.pGraph, nullptr);
}

}  // namespace
