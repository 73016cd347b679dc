// WAVE and AVI files built in memory for the DirectShow tests, so the bytes a parser hands
// downstream can be compared with the bytes that went in.
#pragma once

#include <cstdint>
#include <vector>

namespace kyrtest {

struct WaveFixture {
    std::vector<uint8_t> file;
    std::vector<uint8_t> pcm;  // the data chunk's payload
};
// 16-bit mono PCM at 8000 Hz, a ramp of sampleCount samples.
WaveFixture MakeWave(uint32_t sampleCount);

struct AviFixture {
    std::vector<uint8_t> file;
    std::vector<std::vector<uint8_t>> frames;  // each frame's bytes, in order
};
// Uncompressed 24-bit frames of width x height (rows already 4-byte aligned when width is
// a multiple of 4), 10 frames per second unless told, with an idx1 index.
AviFixture MakeAvi(uint32_t width, uint32_t height, uint32_t frameCount, uint32_t fps = 10);

}  // namespace kyrtest
