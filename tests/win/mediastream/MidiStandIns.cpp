#include "MidiStandIns.h"

#include <cstring>
#include <new>

#include "engine/core/RefPtr.h"
#include "engine/media/stream/DShowAudioGraph.h"

namespace kyrtest {

std::atomic<long> parsersConnecting{0};
std::atomic<long> mostParsersConnecting{0};
namespace {

using namespace KYR;

// ---- the parser stand-in ----

class StandInMidiParser : public CBaseFilter {
public:
    StandInMidiParser()
        : CBaseFilter(L"MIDI parser stand-in", &lock_, kClsidMidiParser),
          in_(this, &lock_),
          out_(this, &lock_) {}
    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int index) override {
        return index == 0 ? static_cast<CBasePin*>(&in_) : index == 1 ? &out_ : nullptr;
    }

private:
    class InputPin : public CBasePin {
    public:
        InputPin(StandInMidiParser* f, CCriticalSection* lock)
            : CBasePin(f, lock, L"Input", PINDIR_INPUT), parser_(f) {}
        HRESULT CheckMediaType(const CMediaType* mt) override {  // any stream but MPEG audio
            return IsEqualGUID(mt->majortype, MEDIATYPE_Stream) &&
                   !IsEqualGUID(mt->subtype, MEDIASUBTYPE_MPEG1Audio) ? S_OK : S_FALSE;
        }
        // A pull-mode source completes its side only after the peer asked for IAsyncReader.
        HRESULT CheckConnect(IPin* pin) override {
            HRESULT hr = CBasePin::CheckConnect(pin);
            if (FAILED(hr)) return hr;
            hr = pin->QueryInterface(IID_IAsyncReader, reinterpret_cast<void**>(reader_.Put()));
            return FAILED(hr) ? VFW_E_NO_TRANSPORT : S_OK;
        }
        HRESULT CompleteConnect(IPin*) override {
            // Counts parsers connecting at once; each connection lasts a while, as a real
            // parser's does while it reads the file's head.
            const long now = ++kyrtest::parsersConnecting;
            for (long most = mostParsersConnecting; now > most;)
                if (mostParsersConnecting.compare_exchange_weak(most, now)) break;
            Sleep(20);
            --kyrtest::parsersConnecting;
            LONGLONG total = 0, available = 0;
            BYTE magic[4] = {};
            if (FAILED(reader_->Length(&total, &available)) || total < 4 ||
                reader_->SyncRead(0, 4, magic) != S_OK || std::memcmp(magic, "MThd", 4) != 0)
                return VFW_E_INVALIDMEDIATYPE;
            parser_->durationUnits_ = total * kMidiUnitsPerByte;
            return S_OK;
        }
        HRESULT BreakConnect() override {
            reader_.Reset();
            return S_OK;
        }

    private:
        StandInMidiParser* const parser_;
        RefPtr<IAsyncReader> reader_;
    };
    class OutputPin : public CBasePin {
    public:
        OutputPin(StandInMidiParser* f, CCriticalSection* lock)
            : CBasePin(f, lock, L"MIDI", PINDIR_OUTPUT), parser_(f) {}
        HRESULT CheckMediaType(const CMediaType* mt) override {
            return IsEqualGUID(mt->majortype, MEDIATYPE_Midi) ? S_OK : S_FALSE;
        }
        HRESULT GetMediaType(int position, CMediaType* mt) override {
            if (position < 0) return E_INVALIDARG;
            if (position > 0 || parser_->durationUnits_ == 0) return VFW_S_NO_MORE_ITEMS;
            mt->SetType(MEDIATYPE_Midi);
            mt->SetFormat(&parser_->durationUnits_, sizeof(parser_->durationUnits_));
            return S_OK;
        }

    private:
        StandInMidiParser* const parser_;
    };

    CCriticalSection lock_;
    LONGLONG durationUnits_ = 0;  // known once the input is connected
    InputPin in_;
    OutputPin out_;
};

// ---- class objects ----

StandInMidiRenderer* g_lastRenderer = nullptr;  // counted

}  // namespace

MidiStandInRegistration::MidiStandInRegistration(const CLSID& parser)
    : parser_(parser,
              [](REFIID riid, void** ppv) { return MakeFilter<StandInMidiParser>(riid, ppv); }),
      renderer_(CLSID_AVIMIDIRender, [](REFIID riid, void** ppv) {
          StandInMidiRenderer* made = nullptr;
          const HRESULT hr = MakeFilter(riid, ppv, &made);
          if (made) {
              if (g_lastRenderer) g_lastRenderer->Release();
              g_lastRenderer = made;
          }
          return hr;
      }) {}

MidiStandInRegistration::~MidiStandInRegistration() {
    if (g_lastRenderer) g_lastRenderer->Release();
    g_lastRenderer = nullptr;
}

StandInMidiRenderer* MidiStandInRegistration::LastRenderer() const { return g_lastRenderer; }

// ---- the renderer stand-in ----

StandInMidiRenderer::StandInMidiRenderer()
    : CBaseFilter(L"MIDI renderer stand-in", &lock_, CLSID_AVIMIDIRender), pin_(this, &lock_) {}

CBasePin* StandInMidiRenderer::GetPin(int index) { return index == 0 ? &pin_ : nullptr; }

HRESULT StandInMidiRenderer::InputPin::CheckMediaType(const CMediaType* mt) {
    return IsEqualGUID(mt->majortype, MEDIATYPE_Midi) && mt->cbFormat == sizeof(LONGLONG)
               ? S_OK
               : S_FALSE;
}

HRESULT StandInMidiRenderer::QueryFilterInterface(REFIID riid, void** ppv) {
    static const ComInterfaceEntry table[] = {
        KYR_COM_ENTRY(StandInMidiRenderer, IMediaSeeking),
        KYR_COM_ENTRY(StandInMidiRenderer, IAMFilterMiscFlags),
        KYR_COM_END,
    };
    const HRESULT hr = QueryInterfaceFromTable(this, table, riid, ppv);
    return SUCCEEDED(hr) ? hr : CBaseFilter::QueryFilterInterface(riid, ppv);
}

LONGLONG StandInMidiRenderer::Duration() {
    const CMediaType& mt = pin_.CurrentMediaType();
    LONGLONG d = 0;
    if (pin_.IsConnected() && mt.cbFormat == sizeof(d)) std::memcpy(&d, mt.pbFormat, sizeof(d));
    return d;
}

void StandInMidiRenderer::Finish() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        position_ = Duration();
    }
    NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
}

STDMETHODIMP StandInMidiRenderer::Run(REFERENCE_TIME start) {
    const HRESULT hr = CBaseFilter::Run(start);
    if (SUCCEEDED(hr) && finishOnRun_) {
        Finish();
        Sleep(50);  // the rest of starting to run, while the graph hands the event on
    }
    return hr;
}

std::vector<LONGLONG> StandInMidiRenderer::Seeks() {
    std::lock_guard<std::mutex> hold(mutex_);
    return seeks_;
}

double StandInMidiRenderer::LastRate() {
    std::lock_guard<std::mutex> hold(mutex_);
    return rate_;
}

STDMETHODIMP StandInMidiRenderer::GetCapabilities(DWORD* caps) {
    *caps = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards |
            AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanGetCurrentPos |
            AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::CheckCapabilities(DWORD* caps) {
    DWORD mine = 0;
    GetCapabilities(&mine);
    const DWORD asked = *caps;
    *caps &= mine;
    return *caps == asked ? S_OK : (*caps ? S_FALSE : E_FAIL);
}
STDMETHODIMP StandInMidiRenderer::IsFormatSupported(const GUID* format) {
    return IsEqualGUID(*format, TIME_FORMAT_MEDIA_TIME) ? S_OK : S_FALSE;
}
STDMETHODIMP StandInMidiRenderer::QueryPreferredFormat(GUID* format) {
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::GetTimeFormat(GUID* format) { return QueryPreferredFormat(format); }
STDMETHODIMP StandInMidiRenderer::IsUsingTimeFormat(const GUID* format) {
    return IsFormatSupported(format);
}
STDMETHODIMP StandInMidiRenderer::SetTimeFormat(const GUID* format) {
    return IsEqualGUID(*format, TIME_FORMAT_MEDIA_TIME) ? S_OK : E_INVALIDARG;
}
STDMETHODIMP StandInMidiRenderer::GetDuration(LONGLONG* duration) {
    *duration = Duration();
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::GetStopPosition(LONGLONG* stop) { return GetDuration(stop); }
STDMETHODIMP StandInMidiRenderer::GetCurrentPosition(LONGLONG* current) {
    std::lock_guard<std::mutex> hold(mutex_);
    *current = position_;
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::ConvertTimeFormat(LONGLONG* target, const GUID*,
                                                    LONGLONG source, const GUID*) {
    *target = source;
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG*,
                                               DWORD) {
    if (current && (currentFlags & AM_SEEKING_PositioningBitsMask) ==
                       AM_SEEKING_AbsolutePositioning) {
        std::lock_guard<std::mutex> hold(mutex_);
        position_ = *current;
        seeks_.push_back(*current);
    }
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::GetPositions(LONGLONG* current, LONGLONG* stop) {
    if (current) GetCurrentPosition(current);
    if (stop) *stop = Duration();
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    if (earliest) *earliest = 0;
    if (latest) *latest = Duration();
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::SetRate(double rate) {
    if (rate <= 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> hold(mutex_);
    rate_ = rate;
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::GetRate(double* rate) {
    std::lock_guard<std::mutex> hold(mutex_);
    *rate = rate_;
    return S_OK;
}
STDMETHODIMP StandInMidiRenderer::GetPreroll(LONGLONG* preroll) {
    *preroll = 0;
    return S_OK;
}

}  // namespace kyrtest
