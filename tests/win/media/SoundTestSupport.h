// Shared by the sound tests: a hidden window to own the DirectSound cooperative level, an
// initialised CKYRDS on it, and WAVE files in memory streams.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "engine/core/RefPtr.h"
#include "engine/media/sound/DSSoundBuffer.h"
#include "engine/media/sound/SoundObjectIds.h"
#include "engine/media/std/StdFileStream.h"
#include "engine/media/stream/KYRDS.h"
#include "support/WavBuilder.h"

namespace KYR {
namespace test {

class HiddenWindow {
public:
    HiddenWindow()
        : hwnd_(CreateWindowExA(0, "STATIC", "sound test", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~HiddenWindow() { DestroyWindow(hwnd_); }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

// A memory stream over its own copy of a file.
class MemoryFile {
public:
    explicit MemoryFile(kyrtest::Bytes bytes) : bytes_(std::move(bytes)) {
        stream_->OpenMemory(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
    }
    IDataStream* Stream() const { return stream_.Get(); }

private:
    kyrtest::Bytes bytes_;
    RefPtr<CStdFileStream> stream_{new CStdFileStream};
};

// CD-quality stereo of `ms` milliseconds.
inline kyrtest::Bytes CdWav(uint32_t ms) {
    return kyrtest::PcmWav(2, 44100, 16, kyrtest::Ramp(size_t{176400} * ms / 1000));
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window_.Get(), nullptr);
        ASSERT_TRUE(ds_->Initialize(window_.Get()))
            << "DirectSound needs an ALSA default device (the null one of scripts/wine-env.sh)";
    }
    RefPtr<CDSSoundBuffer> NewBuffer() {
        auto* made = static_cast<IDSSoundBuffer*>(ds_->CreateObject(kIdDSSoundBuffer));
        return RefPtr<CDSSoundBuffer>(static_cast<CDSSoundBuffer*>(made));
    }

    HiddenWindow window_;
    RefPtr<CKYRDS> ds_{new CKYRDS};
};

}  // namespace test
}  // namespace KYR
