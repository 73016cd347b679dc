// Degree trigonometry of the standard services over process-wide tables: the graphics
// engine's sine table and a 65537-entry arc-tangent table. No library trigonometry runs per
// call.
#pragma once

#include <cstdint>

namespace KYR {

// Fills both tables on the first call; later calls return at once. CKYRStd calls it when
// constructed, before any of the functions below can be reached.
void BuildTrigTables();

// Table entry plus a first-order correction toward the next entry. An infinite or NaN angle
// is taken as 0 degrees.
float SinDeg(float degrees);
float CosDeg(float degrees);
// Degrees in [-180, 180]; (0, 0) gives 0.
float Atan2Deg(int32_t y, int32_t x);
// x multiplied into 1 (n > 0) or divided out of it (n < 0) |n| times, each step in single
// precision.
float PowInt(float x, int32_t n);

}  // namespace KYR
