// Stand-ins for the video filters Wine lacks, registered for this test process only under
// the real class ids, so the players build their graphs exactly as on Windows:
//  - a colour space converter that passes RGB frames through unchanged (same type, same
//    samples) and passes seeking upstream, or reports a zero duration when asked;
//  - a Video Mixing Renderer 9 that cannot be created;
//  - Wine's own Video Mixing Renderer 9, made once and handed out so a test can ask it what
//    the player told it.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <atomic>

namespace kyrtest {

// While alive, the converter stand-in is what CoCreateInstance makes for its class id.
class ConverterStandIn {
public:
    ConverterStandIn();
    ~ConverterStandIn();
    ConverterStandIn(const ConverterStandIn&) = delete;
    ConverterStandIn& operator=(const ConverterStandIn&) = delete;
    bool Ok() const { return cookie_ != 0; }
    // Converters made from now on report a duration of 0.
    static std::atomic<bool> zeroDuration;
    // Every sample goes on carrying the connection's type, as after a format change.
    static std::atomic<bool> typeOnEverySample;

private:
    DWORD cookie_ = 0;
};

// While alive, creating the Video Mixing Renderer 9 fails.
class FailingVmrStandIn {
public:
    FailingVmrStandIn();
    ~FailingVmrStandIn();
    FailingVmrStandIn(const FailingVmrStandIn&) = delete;
    FailingVmrStandIn& operator=(const FailingVmrStandIn&) = delete;
    bool Ok() const { return cookie_ != 0; }

private:
    DWORD cookie_ = 0;
};

class Factory;

// While alive, creating the Video Mixing Renderer 9 gives the one made here.
class WatchedVmrStandIn {
public:
    WatchedVmrStandIn();
    ~WatchedVmrStandIn();
    WatchedVmrStandIn(const WatchedVmrStandIn&) = delete;
    WatchedVmrStandIn& operator=(const WatchedVmrStandIn&) = delete;
    bool Ok() const { return cookie_ != 0; }
    IBaseFilter* Vmr() const { return vmr_; }

private:
    IBaseFilter* vmr_ = nullptr;
    Factory* factory_ = nullptr;
    DWORD cookie_ = 0;
};

}  // namespace kyrtest
