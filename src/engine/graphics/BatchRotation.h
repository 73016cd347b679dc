// The rotation both vertex paths of the batches share (BatchGeometry.cpp corner by corner,
// QuadVertices.cpp four corners at once): one definition, so the two cannot drift apart in
// the order of their float operations and the hot path's vertices stay the reference's.
#pragma once

#include "engine/core/SineTable.h"

namespace KYR {

// The perspective's focal distance is this times the primitive's largest corner offset.
constexpr float kFocalFactor = 3.14159265f;

// The upper-left 3 x 3 of the engine's rotation matrix; the rest is the identity's.
struct Rotation {
    float m00, m01, m02;
    float m10, m11, m12;
};

// The matrix from the sines and cosines of the angles about x, y and z.
inline Rotation RotationOf(SinCos x, SinCos y, SinCos z) {
    const float sa = x.s, ca = x.c, sb = y.s, cb = y.c, sc = z.s, cc = z.c;
    return {cc * cb, cc * sb * sa - ca * sc, sa * sc + ca * cc * sb,
            cb * sc, cc * ca + sa * sb * sc, ca * sb * sc - cc * sa};
}

// Angles in degrees, through the table sine.
inline Rotation MakeRotation(float a, float b, float c) {
    return RotationOf(TableSinCosDeg(a), TableSinCosDeg(b), TableSinCosDeg(c));
}

}  // namespace KYR
