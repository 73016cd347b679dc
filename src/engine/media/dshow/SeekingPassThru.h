// IMediaSeeking answered by asking upstream. A renderer is where the filter graph looks for
// seeking, but only the splitter knows the movie's duration and can seek it; every filter
// in between hands the call on to the output pin its input is connected to.
#pragma once

#include <windows.h>

#include <strmif.h>

#include "engine/core/RefPtr.h"

namespace KYR {

// A mix-in: the class that derives from it answers IUnknown for it (its one QueryInterface,
// AddRef and Release override these too) and names the input pin to look through.
class CSeekingPassThru : public IMediaSeeking {
public:
    STDMETHODIMP GetCapabilities(DWORD* capabilities) override;
    STDMETHODIMP CheckCapabilities(DWORD* capabilities) override;
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
    CSeekingPassThru() = default;
    ~CSeekingPassThru() = default;
    // The input pin whose upstream peer answers; borrowed.
    virtual IPin* SeekingInputTemp() = 0;

private:
    // The upstream pin's IMediaSeeking; empty when unconnected or the peer cannot seek.
    RefPtr<IMediaSeeking> Upstream();
};

}  // namespace KYR
