#include "engine/graphics/VideoMaker.h"

#include <atomic>

namespace KYR {
namespace {

// Atomic: the application registers on its thread while a game's loading thread may already
// be asking a device for objects.
std::atomic<VideoObjectMaker> g_maker{nullptr};

}  // namespace

void SetVideoObjectMaker(VideoObjectMaker maker) { g_maker.store(maker); }

void* MakeVideoObject(CKYRD3D* device, REFGUID id) {
    VideoObjectMaker maker = g_maker.load();
    return maker ? maker(device, id) : nullptr;
}

}  // namespace KYR
