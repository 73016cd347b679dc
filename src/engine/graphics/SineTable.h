// The engine's 64K-entry sine table: entry i = sin(i * 2pi / 65536). The first graphics device
// or standard-services object fills it; the render batches and the standard services' degree
// functions read it instead of calling the library per vertex or per call.
#pragma once

#include <cstddef>

namespace KYR {

constexpr std::size_t kSineTableSize = 65536;

// Fills the table on the first call only; later calls (from any thread) return at once, so
// readers never see it rewritten.
void FillSineTable();

// The table's 65536 entries, process-wide; all zero until FillSineTable has run.
const float* SineTable();

struct SinCos {
    float s;
    float c;
};

// Sine and cosine of an angle in degrees from the table: the entry below the angle plus a
// first-order step toward the next one. The table index is the angle's low 16 bits (a
// negative or huge angle wraps like any other); an infinite or NaN angle counts as 0.
SinCos TableSinCosDeg(float degrees);

}  // namespace KYR
