// The engine's texture interface. Only its counting base is needed by the device so far (the
// active render target holds a reference); the texture operations come with the texture class
// and go in front of the destructor, which stays the last slot.
#pragma once

#include "engine/core/IKYRInterface.h"

namespace KYR {

class ID3DTexture : public IKYRInterface {
public:
    virtual ~ID3DTexture() = default;
};

}  // namespace KYR
