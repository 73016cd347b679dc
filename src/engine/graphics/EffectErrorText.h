// The text of the "ERROR" box CKYRD3D::CreateEffect shows when an effect does not compile.
#pragma once

#include <cstddef>
#include <string>

namespace KYR {

// The compiler's message from its error buffer. The buffer is read by its size, never as a
// C string: Wine's D3DX fills it without a terminating zero. A missing or empty buffer (no
// device, no source) gives a fixed text, so the box never comes up blank.
std::string EffectErrorText(const void* buffer, std::size_t size);

}  // namespace KYR
