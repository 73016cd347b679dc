// Lets the graphics device make the video objects of this room (see
// engine/graphics/VideoMaker.h): call once before a game asks a CKYRD3D for kIdD3DVideo or
// kIdD3DVideoTexture. Calling again is harmless.
#pragma once

namespace KYR {

void RegisterVideoObjects();

}  // namespace KYR
