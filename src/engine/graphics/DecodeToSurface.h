// Decoding an open image into a locked surface. The decoders write packed rows (width x 4
// bytes, or one 16-byte block per 4 x 4 pixels); a surface's rows may be longer than that, so
// a lock whose pitch is wider gets the packed picture row by row instead of sheared.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/graphics/IStdGraphicsLoader.h"

namespace KYR {

// Bytes of one packed row, and the number of rows, of a width x height destination: pixel
// rows of 32 bits, or rows of DXT5 blocks when compressed.
size_t PackedRowBytes(uint32_t width, bool compressed);
uint32_t PackedRows(uint32_t height, bool compressed);

// Decodes the loader's open image into `bits`, `pitch` bytes apart per row. False, with
// nothing written, when the loader is not open, the pitch is shorter than a packed row or
// the work buffer for a wider pitch cannot be had.
bool DecodeToSurface(IStdGraphicsLoader& loader, void* bits, size_t pitch, uint32_t width,
                     uint32_t height, bool compressed);

}  // namespace KYR
