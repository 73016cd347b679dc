// The identifiers CKYRDS::CreateObject accepts. They are the engine's own, not COM interface
// ids: the game passes them, so their values never change.
#pragma once

#include "engine/core/ObjectId.h"

namespace KYR {

// New objects (one reference for the caller).
constexpr ObjectId kIdDSMediaStream = {0x855D37AD, 0xAFC1, 0x4E13,
                                       {0x8A, 0x4E, 0xDF, 0xA4, 0x8F, 0x1B, 0x92, 0x99}};
constexpr ObjectId kIdDSSoundBuffer = {0x69EA6B82, 0x4BF4, 0x4379,
                                       {0x9F, 0x1B, 0x8B, 0x2D, 0x92, 0xB2, 0x29, 0xAE}};
// The IDirectSound8 object itself: borrowed, no reference added.
constexpr ObjectId kIdDirectSoundObject = {0xCF83BE08, 0xDFD1, 0x4979,
                                           {0x91, 0x38, 0x94, 0x98, 0x94, 0x02, 0xDA, 0xE2}};

}  // namespace KYR
