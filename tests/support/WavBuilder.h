// RIFF WAVE files made in memory for the tests, chunk by chunk, so each test states exactly
// the oddity it is about: a lying size, a missing pad byte, a word inside another chunk.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace kyrtest {

using Bytes = std::vector<uint8_t>;

inline void PutLe(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

struct Chunk {
    std::string id;     // four characters
    Bytes body;
    int64_t size = -1;  // the size field written; -1: the body's size
    bool pad = true;    // an odd body gets its pad byte
};

// "fmt " contents: the 16 PCM bytes, then zeros up to `size` (18 for a cbSize field, 40 for
// an extensible-sized record). The stated rate and block size are deliberately wrong where
// asked, since readers are meant to derive them.
inline Bytes FormatBody(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1,
                        size_t size = 16) {
    Bytes b;
    PutLe(b, tag, 2);
    PutLe(b, channels, 2);
    PutLe(b, rate, 4);
    const uint32_t align = channels * bits / 8;
    PutLe(b, align * rate, 4);
    PutLe(b, align, 2);
    PutLe(b, bits, 2);
    b.resize(size, 0);
    return b;
}

inline Bytes Riff(const std::vector<Chunk>& chunks, const char* form = "WAVE") {
    Bytes body(form, form + 4);
    for (const Chunk& c : chunks) {
        body.insert(body.end(), c.id.begin(), c.id.end());
        PutLe(body, static_cast<uint32_t>(c.size < 0 ? c.body.size() : c.size), 4);
        body.insert(body.end(), c.body.begin(), c.body.end());
        if (c.pad && c.body.size() % 2) body.push_back(0);
    }
    Bytes file = {'R', 'I', 'F', 'F'};
    PutLe(file, static_cast<uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// Sample bytes that differ from their neighbours, so a read from the wrong offset shows.
inline Bytes Ramp(size_t n, uint8_t start = 1) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(start + i * 7 + i / 251);
    return b;
}

inline Bytes PcmWav(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
    return Riff({{"fmt ", FormatBody(channels, rate, bits)}, {"data", data}});
}

// 16-bit mono sine tones one after another, each {hertz, milliseconds}, at a peak of 8000:
// a recording of it tells which part is playing.
inline Bytes ToneSamples(uint32_t rate, std::initializer_list<std::pair<double, uint32_t>> parts) {
    Bytes b;
    for (const auto& part : parts) {
        const size_t n = size_t{rate} * part.second / 1000;
        for (size_t i = 0; i < n; ++i) {
            const double v = 8000.0 * std::sin(6.283185307179586 * part.first * i / rate);
            PutLe(b, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v))), 2);
        }
    }
    return b;
}

}  // namespace kyrtest
