// Stand-ins for the MIDI parser and MIDI renderer, which Wine does not have (their class
// ids are not registered). Registered for this test process only, under the real class
// ids, so the product builds its MIDI graph exactly as it would on Windows.
//
// The parser takes the stream our source filter offers, checks through IAsyncReader that it
// holds a Standard MIDI File ("MThd") and offers one MIDI output whose format block carries
// the duration: 10 ms per byte of the file, so tests choose a length by the file size.
// The renderer plays nothing: the test ends its "playback" with Finish(), which reports
// EC_COMPLETE, and the renderer records how the graph seeks it and at what rate.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "StandInFactory.h"
#include "engine/media/dshow/BaseFilter.h"
#include "engine/media/dshow/BasePin.h"
#include "engine/media/stream/DShowAudioGraph.h"

namespace kyrtest {

constexpr LONGLONG kMidiUnitsPerByte = 10 * 10000;  // 10 ms in 100 ns units

class StandInMidiRenderer;

// The most stand-in parsers that were ever connecting at the same moment.
extern std::atomic<long> mostParsersConnecting;

// Registers both stand-ins with COM for the holder's lifetime, the parser under `parser`.
class MidiStandInRegistration {
public:
    explicit MidiStandInRegistration(const CLSID& parser = KYR::kClsidMidiParser);
    ~MidiStandInRegistration();
    bool Ok() const { return parser_.Ok() && renderer_.Ok(); }
    // The renderer the last graph created (borrowed; null before).
    StandInMidiRenderer* LastRenderer() const;

private:
    StandInClass parser_;
    StandInClass renderer_;  // also remembers the last renderer it made
};

class StandInMidiRenderer : public KYR::CBaseFilter,
                            public IMediaSeeking,
                            public IAMFilterMiscFlags {
public:
    StandInMidiRenderer();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return CBaseFilter::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return CBaseFilter::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CBaseFilter::Release(); }
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    int GetPinCount() override { return 1; }
    KYR::CBasePin* GetPin(int index) override;

    // Reports the end of playback to the graph; after FinishOnRun(true), also inside each
    // Run, as a renderer does that holds the end of the stream already.
    void Finish();
    void FinishOnRun(bool on) { finishOnRun_ = on; }
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    std::vector<LONGLONG> Seeks();  // every current position set, in order
    double LastRate();

    // IMediaSeeking, in media time only.
    STDMETHODIMP GetCapabilities(DWORD* caps) override;
    STDMETHODIMP CheckCapabilities(DWORD* caps) override;
    STDMETHODIMP IsFormatSupported(const GUID* format) override;
    STDMETHODIMP QueryPreferredFormat(GUID* format) override;
    STDMETHODIMP GetTimeFormat(GUID* format) override;
    STDMETHODIMP IsUsingTimeFormat(const GUID* format) override;
    STDMETHODIMP SetTimeFormat(const GUID* format) override;
    STDMETHODIMP GetDuration(LONGLONG* duration) override;
    STDMETHODIMP GetStopPosition(LONGLONG* stop) override;
    STDMETHODIMP GetCurrentPosition(LONGLONG* current) override;
    STDMETHODIMP ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                   const GUID* sourceFormat) override;
    STDMETHODIMP SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                              DWORD stopFlags) override;
    STDMETHODIMP GetPositions(LONGLONG* current, LONGLONG* stop) override;
    STDMETHODIMP GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    STDMETHODIMP SetRate(double rate) override;
    STDMETHODIMP GetRate(double* rate) override;
    STDMETHODIMP GetPreroll(LONGLONG* preroll) override;

protected:
    HRESULT QueryFilterInterface(REFIID riid, void** ppv) override;

private:
    class InputPin : public KYR::CBasePin {
    public:
        InputPin(StandInMidiRenderer* filter, KYR::CCriticalSection* lock)
            : CBasePin(filter, lock, L"In", PINDIR_INPUT) {}
        HRESULT CheckMediaType(const KYR::CMediaType* mt) override;
    };
    LONGLONG Duration();

    KYR::CCriticalSection lock_;
    InputPin pin_;
    std::mutex mutex_;
    std::vector<LONGLONG> seeks_;
    LONGLONG position_ = 0;
    double rate_ = 1.0;
    std::atomic<bool> finishOnRun_{false};
};

}  // namespace kyrtest
