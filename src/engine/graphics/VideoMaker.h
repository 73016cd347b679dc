// CKYRD3D::CreateObject hands out the two video objects (kIdD3DVideo, kIdD3DVideoTexture), but
// they are made in engine/media/video, a room above this one. The application registers
// their maker at start (RegisterVideoObjects, engine/media/video/VideoObjects.h); until then
// CreateObject returns null for both identifiers, as for any unknown one.
#pragma once

#include <windows.h>

namespace KYR {

class CKYRD3D;

// Returns the new object as the interface its identifier names (ID3DVideo* or
// ID3DVideoTexture*), with one reference for the caller, or null.
using VideoObjectMaker = void* (*)(CKYRD3D* device, REFGUID id);

void SetVideoObjectMaker(VideoObjectMaker maker);    // any thread; the last one set wins
void* MakeVideoObject(CKYRD3D* device, REFGUID id);  // null when none is set

}  // namespace KYR
