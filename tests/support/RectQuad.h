// An axis-aligned quad record for the batch tests of both trees.
#pragma once

#include <cstdint>

#include "engine/graphics/BatchTypes.h"

namespace kyrtest {

// Corners 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right; texels from (0, 0) on,
// one per pixel; depth 0, rhw 1.
inline KYR::QuadDesc RectQuad(int32_t left, int32_t top, int32_t right, int32_t bottom,
                              uint32_t colour = 0xFFFFFFFF) {
    KYR::QuadDesc q = {};
    const int32_t xs[4] = {left, right, left, right}, ys[4] = {top, top, bottom, bottom};
    for (int k = 0; k < 4; ++k) {
        q.x[k] = xs[k];
        q.y[k] = ys[k];
        q.u[k] = xs[k] - left;
        q.v[k] = ys[k] - top;
        q.rhw[k] = 1.0f;
        q.colour[k] = colour;
    }
    return q;
}

}  // namespace kyrtest
