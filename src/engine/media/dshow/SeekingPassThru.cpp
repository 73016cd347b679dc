#include "engine/media/dshow/SeekingPassThru.h"

namespace KYR {

RefPtr<IMediaSeeking> CSeekingPassThru::Upstream() {
    RefPtr<IMediaSeeking> seeking;
    IPin* input = SeekingInputTemp();
    RefPtr<IPin> peer;
    if (!input || FAILED(input->ConnectedTo(peer.Put())) || !peer) return seeking;
    if (FAILED(peer->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(seeking.Put()))))
        seeking.Reset();
    return seeking;
}

// Not connected is "not implemented" to the graph, which then asks its other renderers.
#define KYR_PASS_UP(call)                            \
    do {                                             \
        RefPtr<IMediaSeeking> up = Upstream();       \
        return up ? up->call : E_NOTIMPL;            \
    } while (0)

STDMETHODIMP CSeekingPassThru::GetCapabilities(DWORD* c) { KYR_PASS_UP(GetCapabilities(c)); }
STDMETHODIMP CSeekingPassThru::CheckCapabilities(DWORD* c) { KYR_PASS_UP(CheckCapabilities(c)); }
STDMETHODIMP CSeekingPassThru::IsFormatSupported(const GUID* f) {
    KYR_PASS_UP(IsFormatSupported(f));
}
STDMETHODIMP CSeekingPassThru::QueryPreferredFormat(GUID* f) {
    KYR_PASS_UP(QueryPreferredFormat(f));
}
STDMETHODIMP CSeekingPassThru::GetTimeFormat(GUID* f) { KYR_PASS_UP(GetTimeFormat(f)); }
STDMETHODIMP CSeekingPassThru::IsUsingTimeFormat(const GUID* f) {
    KYR_PASS_UP(IsUsingTimeFormat(f));
}
STDMETHODIMP CSeekingPassThru::SetTimeFormat(const GUID* f) { KYR_PASS_UP(SetTimeFormat(f)); }
STDMETHODIMP CSeekingPassThru::GetDuration(LONGLONG* d) { KYR_PASS_UP(GetDuration(d)); }
STDMETHODIMP CSeekingPassThru::GetStopPosition(LONGLONG* s) { KYR_PASS_UP(GetStopPosition(s)); }
STDMETHODIMP CSeekingPassThru::GetCurrentPosition(LONGLONG* c) {
    KYR_PASS_UP(GetCurrentPosition(c));
}
STDMETHODIMP CSeekingPassThru::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat,
                                                 LONGLONG source, const GUID* sourceFormat) {
    KYR_PASS_UP(ConvertTimeFormat(target, targetFormat, source, sourceFormat));
}
STDMETHODIMP CSeekingPassThru::SetPositions(LONGLONG* current, DWORD currentFlags,
                                            LONGLONG* stop, DWORD stopFlags) {
    KYR_PASS_UP(SetPositions(current, currentFlags, stop, stopFlags));
}
STDMETHODIMP CSeekingPassThru::GetPositions(LONGLONG* current, LONGLONG* stop) {
    KYR_PASS_UP(GetPositions(current, stop));
}
STDMETHODIMP CSeekingPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    KYR_PASS_UP(GetAvailable(earliest, latest));
}
STDMETHODIMP CSeekingPassThru::SetRate(double rate) { KYR_PASS_UP(SetRate(rate)); }
STDMETHODIMP CSeekingPassThru::GetRate(double* rate) { KYR_PASS_UP(GetRate(rate)); }
STDMETHODIMP CSeekingPassThru::GetPreroll(LONGLONG* preroll) { KYR_PASS_UP(GetPreroll(preroll)); }

#undef KYR_PASS_UP

}  // namespace KYR
