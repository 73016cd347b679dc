#include "engine/media/video/VideoObjects.h"

#include <new>

#include "engine/graphics/GraphicsObjectIds.h"
#include "engine/graphics/VideoMaker.h"
#include "engine/media/video/D3DVideo.h"
#include "engine/media/video/D3DVideoTexture.h"

namespace KYR {
namespace {

void* MakeVideo(CKYRD3D* device, REFGUID id) {
    // The pointer handed out is the interface's: with two bases the object's address is not.
    if (IsEqualGUID(id, kIdD3DVideo))
        return static_cast<ID3DVideo*>(new (std::nothrow) CD3DVideo(device));
    if (IsEqualGUID(id, kIdD3DVideoTexture))
        return static_cast<ID3DVideoTexture*>(new (std::nothrow) CD3DVideoTexture(device));
    return nullptr;
}

}  // namespace

void RegisterVideoObjects() { SetVideoObjectMaker(&MakeVideo); }

}  // namespace KYR
