// CAsyncReader: a source filter with one pull-mode output pin over a CAsyncStream, and
// CDataStreamReader, the one the engine creates over an IDataStream's module.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/core/CriticalSection.h"
#include "engine/media/dshow/AsyncIo.h"
#include "engine/media/dshow/AsyncOutputPin.h"
#include "engine/media/dshow/BaseFilter.h"
#include "engine/media/dshow/DataStreamModule.h"
#include "engine/media/dshow/MediaType.h"

namespace KYR {

// {C553F2C0-1529-11D0-B4D1-00805F6CBBEA}
extern const CLSID CLSID_KYRDataStreamReader;

class CAsyncReader : public CBaseFilter {
public:
    // stream is borrowed and must outlive the filter. *hr fails when the request engine
    // could not be set up; the object must then be released without use.
    CAsyncReader(const wchar_t* name, HRESULT* hr, CAsyncStream* stream, const CLSID& clsid);
    ~CAsyncReader() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;
    const CMediaType* LoadedType() const { return &mt_; }
    const AsyncReaderCalls& ReaderCalls() const { return pin_.Calls(); }

protected:
    // Members in this order so that the pin goes first, then the engine, then the lock.
    CCriticalSection csFilter_;
    CAsyncIo io_;
    CAsyncOutputPin pin_;
    CMediaType mt_;  // what the pin offers
};

class CDataStreamReader : public CAsyncReader {
public:
    // The module (and the stream under it) is borrowed: its creator keeps it alive for as
    // long as the filter exists. mt is copied.
    CDataStreamReader(CDataStreamModule* module, const CMediaType* mt, HRESULT* hr);
};

}  // namespace KYR
