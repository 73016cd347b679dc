// The identifiers CKYRStd::CreateObject accepts. The game passes them, so their values never
// change.
#pragma once

#include "engine/core/ObjectId.h"

namespace KYR {

constexpr ObjectId kIdStdGraphicsLoader = {0x6FB7C864, 0x2E18, 0x41C5,
                                           {0xBE, 0xA6, 0xAA, 0x43, 0xE4, 0x2D, 0xD1, 0x54}};
constexpr ObjectId kIdStdFPSWait = {0x78ACD76B, 0x685C, 0x420B,
                                    {0x95, 0x41, 0x99, 0x33, 0x73, 0x89, 0x3D, 0xEA}};
constexpr ObjectId kIdStdFileStream = {0x47827C51, 0xF63F, 0x4163,
                                       {0x81, 0x66, 0xF5, 0x63, 0x41, 0x3A, 0x2F, 0x7D}};

}  // namespace KYR
