#include "engine/media/dshow/AsyncReader.h"

namespace KYR {

const CLSID CLSID_KYRDataStreamReader = {
    0xc553f2c0, 0x1529, 0x11d0, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};

CAsyncReader::CAsyncReader(const wchar_t* name, HRESULT* hr, CAsyncStream* stream,
                           const CLSID& clsid)
    : CBaseFilter(name, &csFilter_, clsid), io_(stream), pin_(hr, this, &io_, &csFilter_) {
    if (hr && SUCCEEDED(*hr) && !io_.IsValid()) *hr = E_OUTOFMEMORY;
}

CAsyncReader::~CAsyncReader() = default;

CBasePin* CAsyncReader::GetPin(int index) { return index == 0 ? &pin_ : nullptr; }

CDataStreamReader::CDataStreamReader(CDataStreamModule* module, const CMediaType* mt,
                                     HRESULT* hr)
    : CAsyncReader(L"DataStreamReader", hr, module, CLSID_KYRDataStreamReader) {
    if (mt && FAILED(mt_.Set(*mt)) && hr && SUCCEEDED(*hr)) *hr = E_OUTOFMEMORY;
}

}  // namespace KYR
