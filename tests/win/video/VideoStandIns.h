// Stand-ins for the video filters Wine lacks, registered for this test process only under
// the real class ids, so the players build their graphs exactly as on Windows:
//  - a colour space converter that passes RGB frames through unchanged (same type, same
//    samples) and passes seeking upstream, or reports a zero duration when asked; after a
//    refused sample it sends nothing until the next flush, as Windows' filters do;
//  - a Video Mixing Renderer 9 that cannot be created;
//  - Wine's own Video Mixing Renderer 9, made once and handed out so a test can ask it what
//    the player told it.
#pragma once

#include <windows.h>

#include <dshow.h>

#include "ConverterStandIn.h"
#include "StandInFactory.h"
#include "engine/core/RefPtr.h"

namespace kyrtest {

// While alive, creating the Video Mixing Renderer 9 fails.
class FailingVmrStandIn {
public:
    FailingVmrStandIn();
    bool Ok() const { return class_.Ok(); }

private:
    StandInClass class_;
};

// While alive, creating the Video Mixing Renderer 9 gives the one made here.
class WatchedVmrStandIn {
public:
    WatchedVmrStandIn();
    bool Ok() const { return vmr_ && class_.Ok(); }
    IBaseFilter* Vmr() const { return vmr_.Get(); }

private:
    KYR::RefPtr<IBaseFilter> vmr_;
    StandInClass class_;  // after vmr_, so it is revoked first
};

}  // namespace kyrtest
