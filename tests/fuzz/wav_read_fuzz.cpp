// The WAVE reader over a memory stream: input = a position in milliseconds (4 bytes, little
// endian), a read size byte, then the file. Whatever the chunks claim, the reader may deliver
// only bytes the file holds, each at most once per pass, and must refuse formats that would
// divide by zero.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/media/sound/WavRead.h"
#include "engine/media/std/StdFileStream.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Reads to the end in pieces of `piece` bytes; the total delivered.
uint64_t Drain(KYR::CWavRead& reader, uint32_t piece, uint32_t fileSize) {
    std::vector<uint8_t> buffer(piece);
    uint64_t total = 0;
    uint32_t got = 0;
    while (reader.ReadData(piece, buffer.data(), &got)) {
        Check(got > 0 && got <= piece);
        total += got;
        Check(total <= fileSize);
    }
    Check(got == 0);
    return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5 || size > (1u << 20)) return 0;
    uint32_t ms;
    std::memcpy(&ms, data, 4);
    const uint32_t piece = data[4] % 64 * 97 + 1;
    const uint32_t fileSize = static_cast<uint32_t>(size - 5);
    KYR::RefPtr<KYR::CStdFileStream> stream(new KYR::CStdFileStream);
    if (!stream->OpenMemory(data + 5, fileSize)) return 0;
    KYR::RefPtr<KYR::CWavRead> reader(new KYR::CWavRead);
    if (!reader->Open(stream.Get())) {
        Check(reader->GetLength() == 0);
        return 0;
    }
    KYR::SoundFormat f;
    reader->GetFormat(&f);
    Check(f.formatTag == 1 && f.channels && f.samplesPerSec && f.bitsPerSample);
    Check(f.blockAlign == f.channels * f.bitsPerSample / 8 && f.blockAlign != 0);
    Check(f.avgBytesPerSec == uint64_t{f.blockAlign} * f.samplesPerSec);

    const uint64_t dataBytes = Drain(*reader.Get(), piece, fileSize);
    Check(dataBytes > 0);
    Check(reader->GetLength() == dataBytes * 1000 / f.avgBytesPerSec);
    Check(reader->GetPositionMs() == reader->GetLength());

    reader->SetPositionMs(ms);
    Check(reader->GetPositionMs() <= reader->GetLength());
    Check(Drain(*reader.Get(), piece, fileSize) <= dataBytes);

    reader->Rewind();
    Check(Drain(*reader.Get(), 4096, fileSize) == dataBytes);
    reader->Close();
    Check(reader->GetLength() == 0);
    return 0;
}
