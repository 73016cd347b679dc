#include "engine/media/sound/WavRead.h"

#include <algorithm>
#include <cstring>

namespace KYR {
namespace {

constexpr uint32_t kRiffHeaderSize = 12;  // "RIFF", size, "WAVE"
constexpr uint32_t kChunkHeaderSize = 8;  // id, size
constexpr uint32_t kPcmFormatSize = 16;   // the PCMWAVEFORMAT part of "fmt "
constexpr uint32_t kScanBlock = 4096;

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Up to `bytes` from `offset`; the bytes delivered (none at or past the end).
uint32_t ReadAt(IDataStream* stream, uint64_t offset, void* buffer, uint32_t bytes) {
    if (offset >= stream->GetSize()) return 0;
    if (stream->GetPosition() != offset)
        stream->Seek(static_cast<int32_t>(static_cast<uint32_t>(offset)), kSeekBegin);
    return stream->Read(buffer, 1, bytes);
}

bool ReadExactly(IDataStream* stream, uint64_t offset, void* buffer, uint32_t bytes) {
    return ReadAt(stream, offset, buffer, bytes) == bytes;
}

}  // namespace

bool CWavRead::Open(IDataStream* stream) {
    if (open_ || !stream) return false;
    stream_ = RefPtr<IDataStream>::AddRefOf(stream);

    uint8_t header[kRiffHeaderSize];
    if (!ReadExactly(stream, 0, header, sizeof(header))) return false;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;

    uint32_t fmtAt = 0, fmtSize = 0;
    if (!FindChunk("fmt ", &fmtAt, &fmtSize) || !ReadFormat(fmtAt, fmtSize)) return false;

    uint32_t dataAt = 0, dataSize = 0;
    if (!FindChunk("data", &dataAt, &dataSize)) return false;
    // A size past the end of the file (a truncated download, a writer that never went back to
    // fix it) would size buffers for bytes that never arrive.
    const uint32_t held = stream->GetSize() - std::min(dataAt, stream->GetSize());
    dataSize = std::min(dataSize, held);
    if (dataSize == 0) return false;

    dataStart_ = dataAt;
    dataSize_ = dataSize;
    position_ = 0;
    lengthMs_ = static_cast<uint32_t>(uint64_t{dataSize} * 1000 / format_.avgBytesPerSec);
    stream->Seek(static_cast<int32_t>(dataStart_), kSeekBegin);
    open_ = true;
    return true;
}

bool CWavRead::FindChunk(const char (&id)[5], uint32_t* contents, uint32_t* size) {
    return WalkChunks(id, contents, size) || ScanForChunk(id, contents, size);
}

bool CWavRead::WalkChunks(const char (&id)[5], uint32_t* contents, uint32_t* size) {
    IDataStream* stream = stream_.Get();
    const uint64_t end = stream->GetSize();
    uint64_t at = kRiffHeaderSize;
    while (at + kChunkHeaderSize <= end) {
        uint8_t header[kChunkHeaderSize];
        if (!ReadExactly(stream, at, header, sizeof(header))) return false;
        const uint32_t chunkSize = Le32(header + 4);
        if (std::memcmp(header, id, 4) == 0) {
            *contents = static_cast<uint32_t>(at + kChunkHeaderSize);
            *size = chunkSize;
            return true;
        }
        // Chunks start on even offsets: an odd-sized chunk is followed by one pad byte.
        at += kChunkHeaderSize + uint64_t{chunkSize} + (chunkSize & 1);
    }
    return false;
}

// The first place the four bytes occur anywhere in the file, followed by a size field. This
// is how such files were always found, so it stays for those the walk cannot follow (chunk
// sizes that are off, odd chunks written without their pad byte).
bool CWavRead::ScanForChunk(const char (&id)[5], uint32_t* contents, uint32_t* size) {
    IDataStream* stream = stream_.Get();
    uint8_t block[kScanBlock + 8];
    uint64_t at = 0;  // stream offset of block[0]
    uint32_t held = ReadAt(stream, 0, block, sizeof(block));
    while (held >= 4) {
        for (uint32_t i = 0; i + 4 <= held; ++i) {
            if (std::memcmp(block + i, id, 4) != 0) continue;
            uint8_t field[4];
            if (!ReadExactly(stream, at + i + 4, field, 4)) return false;
            *contents = static_cast<uint32_t>(at + i + kChunkHeaderSize);
            *size = Le32(field);
            return true;
        }
        // Keep the last three bytes: an id may straddle two blocks.
        const uint32_t keep = 3;
        std::memmove(block, block + held - keep, keep);
        at += held - keep;
        const uint32_t more = ReadAt(stream, at + keep, block + keep, sizeof(block) - keep);
        if (more == 0) break;
        held = keep + more;
    }
    return false;
}

bool CWavRead::ReadFormat(uint32_t contents, uint32_t size) {
    if (size < kPcmFormatSize) return false;
    uint8_t raw[kPcmFormatSize];
    if (!ReadExactly(stream_.Get(), contents, raw, sizeof(raw))) return false;
    const uint16_t tag = Le16(raw);
    const uint16_t channels = Le16(raw + 2);
    const uint32_t samplesPerSec = Le32(raw + 4);
    // The file's own average rate and block size (raw + 8, raw + 12) are not trusted: both are
    // derived from the channel count and depth, as DirectSound requires of PCM.
    const uint16_t bits = Le16(raw + 14);
    if (tag != kFormatPcm) return false;
    const uint64_t blockAlign = uint64_t{channels} * bits / 8;
    const uint64_t avgBytesPerSec = blockAlign * samplesPerSec;
    // Each would divide by zero in the lengths, or wrap to a size that does.
    if (channels == 0 || samplesPerSec == 0 || bits == 0 || blockAlign == 0 ||
        blockAlign > UINT16_MAX || avgBytesPerSec > UINT32_MAX)
        return false;

    format_ = {};
    format_.formatTag = tag;
    format_.channels = channels;
    format_.samplesPerSec = samplesPerSec;
    format_.avgBytesPerSec = static_cast<uint32_t>(avgBytesPerSec);
    format_.blockAlign = static_cast<uint16_t>(blockAlign);
    format_.bitsPerSample = bits;
    format_.extraSize = kExtraSize;
    return true;
}

bool CWavRead::ReadData(uint32_t bytes, void* buffer, uint32_t* delivered) {
    if (delivered) *delivered = 0;
    if (!open_ || position_ >= dataSize_) return false;
    const uint32_t want = std::min(bytes, dataSize_ - position_);
    if (want == 0) return true;
    if (!buffer) return false;
    // Addressed by the reader's own position, so a caller that moved the shared stream in
    // between does not get the wrong bytes.
    const uint32_t got = ReadAt(stream_.Get(), uint64_t{dataStart_} + position_, buffer, want);
    position_ += got;
    if (delivered) *delivered = got;
    return got > 0;
}

void CWavRead::Rewind() {
    if (!open_) return;
    stream_->Seek(static_cast<int32_t>(dataStart_), kSeekBegin);
    position_ = 0;
}

void CWavRead::GetFormat(SoundFormat* format) {
    if (format) *format = format_;
}

uint32_t CWavRead::GetPositionMs() {
    if (!open_) return 0;
    return static_cast<uint32_t>(uint64_t{position_} * 1000 / format_.avgBytesPerSec);
}

void CWavRead::SetPositionMs(uint32_t ms) {
    if (!open_) return;
    const uint64_t frames = uint64_t{ms} * format_.samplesPerSec / 1000;
    const uint64_t byte = frames * format_.blockAlign;
    // Past the data is the end of the sound, not whatever chunk follows it.
    position_ = static_cast<uint32_t>(std::min<uint64_t>(byte, dataSize_));
    stream_->Seek(static_cast<int32_t>(dataStart_ + position_), kSeekBegin);
}

void CWavRead::Close() {
    if (!open_) return;
    lengthMs_ = 0;
    stream_->Seek(0, kSeekBegin);
    open_ = false;
}

}  // namespace KYR
