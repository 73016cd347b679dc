// The stream source filter over a memory stream of known bytes, and a pull pin connected to
// it, for the tests that drive IAsyncReader themselves.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "PullPin.h"
#include "engine/core/RefPtr.h"
#include "engine/media/dshow/AsyncRange.h"
#include "engine/media/dshow/AsyncReader.h"
#include "engine/media/dshow/DataStreamModule.h"
#include "engine/media/dshow/MemAllocator.h"
#include "engine/media/std/StdFileStream.h"

namespace kyrtest {

inline std::vector<uint8_t> BytePattern(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 13 + (i >> 8));
    return v;
}

class SourceRig {
public:
    explicit SourceRig(size_t size, const GUID& subtype = MEDIASUBTYPE_WAVE)
        : data(BytePattern(size)), stream_(new KYR::CStdFileStream()) {
        stream_->OpenMemory(data.data(), static_cast<uint32_t>(data.size()));
        module_ = std::make_unique<KYR::CDataStreamModule>(stream_.Get());
        KYR::CMediaType type(MEDIATYPE_Stream);
        type.SetSubtype(subtype);
        HRESULT hr = E_FAIL;
        reader = new KYR::CDataStreamReader(module_.get(), &type, &hr);
        reader->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(filter.Put()));
        EXPECT_EQ(hr, S_OK);
        filter->FindPin(L"Out", out.Put());
    }
    virtual ~SourceRig() = default;
    SourceRig(const SourceRig&) = delete;
    SourceRig& operator=(const SourceRig&) = delete;

    std::vector<uint8_t> data;

private:
    // Declared before the filter so that it outlives it, as the module's creator must.
    KYR::RefPtr<KYR::CStdFileStream> stream_;
    std::unique_ptr<KYR::CDataStreamModule> module_;

public:
    KYR::CDataStreamReader* reader = nullptr;  // owned through filter
    KYR::RefPtr<IBaseFilter> filter;
    KYR::RefPtr<IPin> out;
};

// The source connected to a pull pin. Connected pins hold each other, so the connection is
// broken explicitly before either filter can go.
class PulledSource : public SourceRig {
public:
    explicit PulledSource(size_t size) : SourceRig(size), pull(new PullFilter()) {
        pull->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(pullFilter.Put()));
        connect = out->Connect(pull->Pin(), nullptr);
    }
    ~PulledSource() override {
        out->Disconnect();
        pull->Pin()->Disconnect();
    }
    IAsyncReader* Reader() { return pull->Pin()->Reader(); }

    PullFilter* pull;  // owned through pullFilter
    KYR::RefPtr<IBaseFilter> pullFilter;
    HRESULT connect = E_FAIL;
};

// An allocator of count buffers of size bytes, committed.
inline KYR::RefPtr<IMemAllocator> CommittedAllocator(LONG count, LONG size) {
    KYR::RefPtr<IMemAllocator> a;
    EXPECT_EQ(KYR::CMemAllocator::Create(a.Put()), S_OK);
    ALLOCATOR_PROPERTIES want = {count, size, 1, 0}, got = {};
    EXPECT_EQ(a->SetProperties(&want, &got), S_OK);
    EXPECT_EQ(a->Commit(), S_OK);
    return a;
}

// A sample from the allocator whose times ask for [position, position + length).
inline KYR::RefPtr<IMediaSample> SampleFor(IMemAllocator* a, int64_t position, int64_t length) {
    KYR::RefPtr<IMediaSample> s;
    if (FAILED(a->GetBuffer(s.Put(), nullptr, nullptr, AM_GBF_NOWAIT))) return s;
    REFERENCE_TIME start = position * KYR::kUnitsPerByte;
    REFERENCE_TIME stop = (position + length) * KYR::kUnitsPerByte;
    s->SetTime(&start, &stop);
    return s;
}

}  // namespace kyrtest
