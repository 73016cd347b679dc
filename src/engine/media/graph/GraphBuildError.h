// The error a hand-built filter graph throws at the step that failed. Its text is fixed per
// step, so the player that catches it can say what went wrong without a log.
#pragma once

namespace KYR {

struct GraphBuildError {
    const char* text;  // a string literal
};

}  // namespace KYR
