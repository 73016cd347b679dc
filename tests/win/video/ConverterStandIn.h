// The colour space converter stand-in on its own: it passes RGB frames through unchanged
// (see VideoStandIns.h). This header sees no engine header, so a program that declares the
// engine's interfaces itself (the contract program) can use it.
#pragma once

#include <atomic>

#include "StandInFactory.h"

namespace kyrtest {

// While alive, the converter stand-in is what CoCreateInstance makes for its class id.
class ConverterStandIn {
public:
    ConverterStandIn();
    ~ConverterStandIn();
    bool Ok() const { return class_.Ok(); }
    // Converters made from now on report a duration of 0.
    static std::atomic<bool> zeroDuration;
    // Every sample goes on carrying the connection's type, as after a format change.
    static std::atomic<bool> typeOnEverySample;

private:
    StandInClass class_;
};

}  // namespace kyrtest
