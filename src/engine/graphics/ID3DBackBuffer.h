// The engine's access to the pixels of the device's back buffer (slot order is part of the
// engine's interface). Pixels are 0xAARRGGBB, width x height, rows top to bottom, no gaps.
#pragma once

#include <cstdint>

#include "engine/core/IKYRInterface.h"

namespace KYR {

class ID3DBackBuffer : public IKYRInterface {
public:
    virtual uint32_t GetWidth() = 0;
    virtual uint32_t GetHeight() = 0;
    virtual bool Create() = 0;
    virtual void Destroy() = 0;
    virtual bool ReadPixels(uint32_t* dest) = 0;
    virtual void WritePixels(const uint32_t* src) = 0;
    virtual ~ID3DBackBuffer() = default;
};

}  // namespace KYR
