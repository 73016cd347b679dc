// The engine's 64K-entry sine table: entry i = sin(i * 2pi / 65536). The first graphics device
// fills it; the render batches read it instead of calling the library per vertex.
#pragma once

#include <cstddef>

namespace KYR {

constexpr std::size_t kSineTableSize = 65536;

// Fills the table (again, harmlessly, if it was filled before).
void FillSineTable();

// The table's 65536 entries, process-wide; all zero until FillSineTable has run.
const float* SineTable();

}  // namespace KYR
