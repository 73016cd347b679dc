// The BMP decoder over a memory stream: input = destination width, height, a flags byte (bit
// 0: compress to DXT5), then the file. The destination is exactly as large as the decoder is
// told, so AddressSanitizer catches any write past it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/graphics/BMPLoader.h"
#include "engine/media/std/StdFileStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const uint32_t width = data[0] % 64 + 1;
    const uint32_t height = data[1] % 64 + 1;
    const bool compress = data[2] & 1;
    KYR::RefPtr<KYR::CStdFileStream> stream(new KYR::CStdFileStream);
    if (!stream->OpenMemory(data + 3, static_cast<uint32_t>(size - 3))) return 0;
    KYR::RefPtr<KYR::CBMPLoader> bmp(new KYR::CBMPLoader);
    if (!bmp->Open(stream.Get())) return 0;
    const size_t bytes = compress ? size_t{(width + 3) / 4} * ((height + 3) / 4) * 16
                                  : size_t{width} * height * 4;
    std::vector<uint8_t> destination(bytes);
    bmp->Decode(destination.data(), width, height, compress);
    bmp->Close();
    return 0;
}
