// A sound reader over bytes in memory whose length and loop behaviour the test states,
// for the cases a well-formed WAVE file cannot show: a decoder that claims more than it
// delivers, one that finds nothing at the loop position, one that reports no length.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "engine/core/IKYRInterface.h"
#include "engine/media/sound/ISoundReader.h"
#include "support/WavBuilder.h"

namespace kyrtest {

class ScriptedReader : public KYR::RefCounted<KYR::ISoundReader> {
public:
    // 8-bit mono at 8000 Hz: one byte a sample, 8 bytes a millisecond.
    ScriptedReader(Bytes data, uint32_t lengthMs, bool loopReadsNothing = false,
                   bool opens = true)
        : data_(std::move(data)), lengthMs_(lengthMs), loopReadsNothing_(loopReadsNothing),
          opens_(opens) {}

    bool Open(KYR::IDataStream*) override { return !open_ && (open_ = opens_); }
    bool ReadData(uint32_t bytes, void* buffer, uint32_t* delivered) override {
        if (gate_) {
            SetEvent(reading_);
            WaitForSingleObject(gate_, 2000);  // bounded: a test must fail, not hang
        }
        const size_t n = open_ && pos_ < data_.size() ? std::min<size_t>(bytes, data_.size() - pos_) : 0;
        if (n) std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        if (delivered) *delivered = static_cast<uint32_t>(n);
        return n > 0;
    }
    void Rewind() override { pos_ = 0; }
    void GetFormat(KYR::SoundFormat* f) override {
        *f = {KYR::kFormatPcm, 1, 8000, 8000, 1, 8, 18, 0};
    }
    uint32_t GetLength() override { return open_ ? lengthMs_ : 0; }
    uint32_t GetPositionMs() override { return static_cast<uint32_t>(pos_ / 8); }
    void SetPositionMs(uint32_t ms) override { pos_ = loopReadsNothing_ ? data_.size() : ms * 8u; }
    void Close() override { open_ = false; }

    bool IsOpen() const { return open_; }
    // A decoder that takes its time: each read sets `reading` and waits until `gate` is set
    // (two seconds at most).
    void HoldReadsOn(HANDLE gate, HANDLE reading) { gate_ = gate, reading_ = reading; }

private:
    Bytes data_;
    uint32_t lengthMs_;
    bool loopReadsNothing_;
    bool opens_;
    bool open_ = false;
    size_t pos_ = 0;
    HANDLE gate_ = nullptr;
    HANDLE reading_ = nullptr;
};

}  // namespace kyrtest
