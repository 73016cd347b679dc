// AddQuad's vertex work, the quad batch's hot path: a 2D game sends thousands of sprites a
// frame, so a sprite should cost little more than writing its 112 bytes of vertices.
//
// The four corners are the four lanes of SSE2 registers. QuadDesc already keeps each field as
// four corners side by side, so a field is one load; the lanes become four 28-byte vertices
// at the end. Each lane does the float operations of ReferenceQuadVertices in the same order
// (divps rounds like divss, and nothing here may be fused into a multiply-add), so the
// vertices come out as the reference's. Both trees have SSE2: the product is built with
// -msse2, and x86-64 always has it.
//
// A rotated sprite is one long chain of dependent steps (angle, table read, matrix, corner,
// division, store), and the processor overlaps a sprite with the next only as far as the
// instructions waiting on that chain leave it room. So the chain starts first, its steps are
// kept few, and a sprite turned in the screen's plane only (the 2D game's spinning sprite)
// takes one angle's table reads and no matrix at all.
#include "engine/graphics/BatchGeometry.h"

#include "engine/graphics/BatchRotation.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cmath>
#endif

namespace KYR {

#if defined(__SSE2__)
namespace {

__m128i LoadLanes(const void* fourValues) {
    return _mm_loadu_si128(static_cast<const __m128i*>(fourValues));
}

__m128 IntsToFloats(const int32_t* fourValues) { return _mm_cvtepi32_ps(LoadLanes(fourValues)); }

// cvtdq2ps takes signed values. Depth layers of 2^31 and more are converted as two exact
// 16-bit halves whose sum rounds once, as a scalar conversion rounds.
__m128 UnsignedToFloats(const uint32_t* fourValues) {
    const __m128i v = LoadLanes(fourValues);
    if (_mm_movemask_ps(_mm_castsi128_ps(v)) == 0) return _mm_cvtepi32_ps(v);
    const __m128 high = _mm_mul_ps(_mm_cvtepi32_ps(_mm_srli_epi32(v, 16)), _mm_set1_ps(65536.0f));
    const __m128 low = _mm_cvtepi32_ps(_mm_and_si128(v, _mm_set1_epi32(0xFFFF)));
    return _mm_add_ps(high, low);
}

template <int kLane>
__m128 Broadcast(__m128 v) {
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(kLane, kLane, kLane, kLane));
}

__m128 Mul(__m128 a, __m128 b) { return _mm_mul_ps(a, b); }
__m128 Add(__m128 a, __m128 b) { return _mm_add_ps(a, b); }
__m128 Sub(__m128 a, __m128 b) { return _mm_sub_ps(a, b); }

// Colour, u and v of the four vertices (lane k for corner k). Each vertex's three are stored
// 16 bytes wide: the fourth lane lands on the next vertex's x, which StorePositions writes
// afterwards. The last vertex's go 12 bytes wide, so nothing past the quad is touched (it may
// be the end of the batch's array).
void StoreTails(__m128 colour, __m128 u, __m128 v, RenderVertex out[4]) {
    const __m128 cu01 = _mm_unpacklo_ps(colour, u);  // c0 u0 c1 u1
    const __m128 cu23 = _mm_unpackhi_ps(colour, u);  // c2 u2 c3 u3
    float* f = reinterpret_cast<float*>(out);
    _mm_storeu_ps(f + 4, _mm_shuffle_ps(cu01, v, _MM_SHUFFLE(0, 0, 1, 0)));
    _mm_storeu_ps(f + 11, _mm_shuffle_ps(cu01, v, _MM_SHUFFLE(1, 1, 3, 2)));
    _mm_storeu_ps(f + 18, _mm_shuffle_ps(cu23, v, _MM_SHUFFLE(2, 2, 1, 0)));
    const __m128 last = _mm_shuffle_ps(cu23, v, _MM_SHUFFLE(3, 3, 3, 2));  // c3 u3 v3 v3
    _mm_storel_epi64(reinterpret_cast<__m128i*>(f + 25), _mm_castps_si128(last));
    _mm_store_ss(f + 27, _mm_movehl_ps(last, last));
}

// x, y, z and rhw of the four vertices, after StoreTails.
void StorePositions(__m128 x, __m128 y, __m128 z, __m128 rhw, RenderVertex out[4]) {
    _MM_TRANSPOSE4_PS(x, y, z, rhw);  // now x holds corner 0's x, y, z, rhw; y corner 1's ...
    float* f = reinterpret_cast<float*>(out);
    _mm_storeu_ps(f, x);
    _mm_storeu_ps(f + 7, y);
    _mm_storeu_ps(f + 14, z);
    _mm_storeu_ps(f + 21, rhw);
}

// Degrees to table steps, a / 360 x 65536 in float as TableSinCosDeg forms it, without its
// division (the longest step before the table reads). The product of the float angle and
// 8192/45 in double rounds to the same float: a / 45 is never closer than 2^-30 of its size
// to a point halfway between two floats (45 is odd and a has 24 bits), and the double
// product is off by at most 2^-52 of it. Only quotients below the smallest normal float,
// angles under 1e-35 degrees, round differently, by less than one of their own units (a run
// over every float agrees).
constexpr double kStepsPerDegree = 8192.0 / 45.0;

float StepsOfDegrees(float degrees) {
    return static_cast<float>(static_cast<double>(degrees) * kStepsPerDegree);
}

__m128 StepsOfDegrees(__m128 degrees) {
    const __m128d k = _mm_set1_pd(kStepsPerDegree);
    const __m128 low = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(degrees), k));
    const __m128 high = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(degrees, degrees)), k));
    return _mm_movelh_ps(low, high);
}

// Sines and cosines of the three angles (lanes 0 to 2, in table steps within the int32
// range), each as TableSinCosDeg works it out: the entry below plus a first-order step. The
// six table reads are independent, so all of them are in flight at once.
void TableSinCosOfStepLanes(__m128 steps, __m128* sines, __m128* cosines) {
    const __m128i whole = _mm_cvttps_epi32(steps);
    const __m128 fraction = _mm_sub_ps(steps, _mm_cvtepi32_ps(whole));
    alignas(16) uint32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), whole);
    const float* table = detail::g_sineTable;
    const auto entries = [&](uint32_t offset) {
        return _mm_movelh_ps(_mm_unpacklo_ps(_mm_load_ss(table + ((index[0] + offset) & 0xFFFF)),
                                             _mm_load_ss(table + ((index[1] + offset) & 0xFFFF))),
                             _mm_load_ss(table + ((index[2] + offset) & 0xFFFF)));
    };
    const __m128 s = entries(0), c = entries(16384);  // a quarter turn on
    // Dividing by 65536 after the multiply by 2 pi rounds as multiplying by their exact
    // quotient does.
    const __m128 step = _mm_set1_ps(2.0f * 3.1415927f / 65536.0f);
    *sines = Add(s, Mul(Mul(c, fraction), step));
    *cosines = Sub(c, Mul(Mul(s, fraction), step));
}

// Colour, u and v of the four vertices, which no angle changes; returns their depths.
__m128 StoreFixedFields(const QuadDesc& quad, const VertexScale& scale, RenderVertex out[4]) {
    StoreTails(_mm_castsi128_ps(LoadLanes(quad.colour)),
               _mm_mul_ps(IntsToFloats(quad.u), _mm_set1_ps(scale.invTextureWidth)),
               _mm_mul_ps(IntsToFloats(quad.v), _mm_set1_ps(scale.invTextureHeight)), out);
    return _mm_mul_ps(_mm_set1_ps(scale.depthStep), UnsignedToFloats(quad.z));
}

// The centre as the reference forms it, and each corner's offset from it. The reference sums
// the four corners in 64 bits and rounds once to float; four int32 of magnitude below 2^29
// cannot overflow an int32 sum, so that sum is the same integer. Wider corners, which no
// screen has, are summed in double, where any four int32 add up exactly.
struct Offsets {
    __m128 cx, cy, dx, dy;
};

__m128 CentreOfWideCorners(__m128i xi, __m128i yi) {
    const __m128d xs = _mm_add_pd(_mm_cvtepi32_pd(xi),
                                  _mm_cvtepi32_pd(_mm_shuffle_epi32(xi, _MM_SHUFFLE(1, 0, 3, 2))));
    const __m128d ys = _mm_add_pd(_mm_cvtepi32_pd(yi),
                                  _mm_cvtepi32_pd(_mm_shuffle_epi32(yi, _MM_SHUFFLE(1, 0, 3, 2))));
    const __m128d sums = _mm_add_pd(_mm_unpacklo_pd(xs, ys), _mm_unpackhi_pd(xs, ys));
    return _mm_mul_ps(_mm_cvtpd_ps(sums), _mm_set1_ps(0.25f));  // cx cy 0 0
}

Offsets OffsetsFromCentre(__m128i xi, __m128i yi) {
    const __m128i lo = _mm_unpacklo_epi32(xi, yi), hi = _mm_unpackhi_epi32(xi, yi);
    const __m128i pairs = _mm_add_epi32(lo, hi);  // x0+x2 y0+y2 x1+x3 y1+y3
    const __m128i sums = _mm_add_epi32(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(1, 0, 3, 2)));
    __m128 centre = _mm_mul_ps(_mm_cvtepi32_ps(sums), _mm_set1_ps(0.25f));  // cx cy cx cy
    // -2^29 <= v < 2^29 exactly when v + 2^29 has neither of its top two bits set.
    const __m128i bias = _mm_set1_epi32(1 << 29);
    const __m128i top = _mm_srli_epi32(
        _mm_or_si128(_mm_add_epi32(lo, bias), _mm_add_epi32(hi, bias)), 30);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(top, _mm_setzero_si128())) != 0xFFFF)
        centre = CentreOfWideCorners(xi, yi);
    const __m128 cx = Broadcast<0>(centre), cy = Broadcast<1>(centre);
    return {cx, cy, _mm_sub_ps(_mm_cvtepi32_ps(xi), cx), _mm_sub_ps(_mm_cvtepi32_ps(yi), cy)};
}

// Direct3D 9 samples at pixel centres: -0.5 puts texel edges on pixel edges.
__m128 Half() { return _mm_set1_ps(0.5f); }

// The unrotated sprite, the common case: the table gives the identity for 0 degrees and
// every corner's perspective factor is Q / Q = 1, so each corner keeps its place and its rhw.
void WriteUnturned(const QuadDesc& quad, const VertexScale& scale, RenderVertex out[4]) {
    const __m128 z = StoreFixedFields(quad, scale, out);
    StorePositions(_mm_sub_ps(IntsToFloats(quad.x), Half()),
                   _mm_sub_ps(IntsToFloats(quad.y), Half()), z, _mm_loadu_ps(quad.rhw), out);
}

// Turned in the screen's plane only, a 2D game's spinning sprite: about x and y the table
// gives exactly sine 0 and cosine 1, so the matrix is (cc, -sc; sc, cc), z' is 0 and every
// corner shares the divisor D = Q. The factor Q / D is 1 and there is nothing to divide.
void WritePlanar(const QuadDesc& quad, SinCos turn, const VertexScale& scale,
                 RenderVertex out[4]) {
    const __m128 z = StoreFixedFields(quad, scale, out);
    const Offsets o = OffsetsFromCentre(LoadLanes(quad.x), LoadLanes(quad.y));
    const __m128 sc = _mm_set1_ps(turn.s), cc = _mm_set1_ps(turn.c);
    const __m128 xr = Add(Mul(cc, o.dx), Mul(sc, o.dy));
    // The reference's (0 - sc) dx + cc dy, in one step fewer: negating commutes with
    // rounding, and a zero's sign cannot reach the vertex, which adds cy to it.
    const __m128 yr = Sub(Mul(cc, o.dy), Mul(sc, o.dx));
    StorePositions(Sub(Add(o.cx, xr), Half()), Sub(Add(o.cy, yr), Half()), z,
                   _mm_loadu_ps(quad.rhw), out);
}

// Turned about more than one axis: the whole matrix and the perspective.
void WriteTurned(const QuadDesc& quad, __m128 sines, __m128 cosines, const VertexScale& scale,
                 RenderVertex out[4]) {
    const __m128 z = StoreFixedFields(quad, scale, out);
    const Offsets o = OffsetsFromCentre(LoadLanes(quad.x), LoadLanes(quad.y));
    // Q from the largest offset, in every lane. Corners all on the centre give Q = 0, where
    // the reference takes each corner unrotated: with the smallest normal float as Q there,
    // every lane divides Q by Q + 0 and comes out as exactly that, with no 0/0 and no branch.
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    __m128 largest = _mm_max_ps(_mm_and_ps(o.dx, magnitude), _mm_and_ps(o.dy, magnitude));
    largest = _mm_max_ps(largest, _mm_shuffle_ps(largest, largest, _MM_SHUFFLE(2, 3, 0, 1)));
    largest = _mm_max_ps(largest, _mm_shuffle_ps(largest, largest, _MM_SHUFFLE(1, 0, 3, 2)));
    const __m128 q = _mm_max_ps(Mul(_mm_set1_ps(kFocalFactor), largest),
                                _mm_set1_ps(1.17549435e-38f));

    const __m128 sa = Broadcast<0>(sines), sb = Broadcast<1>(sines), sc = Broadcast<2>(sines);
    const __m128 ca = Broadcast<0>(cosines), cb = Broadcast<1>(cosines),
                 cc = Broadcast<2>(cosines);
    // RotationOf's products and sums, each in every lane.
    const __m128 m00 = Mul(cc, cb);
    const __m128 m01 = Sub(Mul(Mul(cc, sb), sa), Mul(ca, sc));
    const __m128 m02 = Add(Mul(sa, sc), Mul(Mul(ca, cc), sb));
    const __m128 m10 = Mul(cb, sc);
    const __m128 m11 = Add(Mul(cc, ca), Mul(Mul(sa, sb), sc));
    const __m128 m12 = Sub(Mul(Mul(ca, sb), sc), Mul(cc, sa));

    const __m128 xr = Add(Mul(m00, o.dx), Mul(m10, o.dy));
    const __m128 yr = Add(Mul(m01, o.dx), Mul(m11, o.dy));
    const __m128 zr = Add(Mul(m02, o.dx), Mul(m12, o.dy));
    // One divps for the quad: each corner's Q / D, rounded as the reference's division is.
    const __m128 perspective = _mm_div_ps(q, Add(q, zr));
    StorePositions(Sub(Add(o.cx, Mul(xr, perspective)), Half()),
                   Sub(Add(o.cy, Mul(yr, perspective)), Half()), z,
                   Mul(_mm_loadu_ps(quad.rhw), perspective), out);
}

}  // namespace

// The angles' table reads come first: everything else waits on them, and the work that does
// not (the fixed fields, the centre) fills the time they take.
void WriteQuadVertices(const QuadDesc& quad, float angleX, float angleY, float angleZ,
                       const VertexScale& scale, RenderVertex out[4]) {
    const __m128 angles = _mm_setr_ps(angleX, angleY, angleZ, 0.0f);
    const int zeroAngles = _mm_movemask_ps(_mm_cmpeq_ps(angles, _mm_setzero_ps()));
    // Steps past the int32 range and non-finite angles (NaN fails the comparisons too) are
    // rare: the corner-by-corner arithmetic takes them.
    constexpr float kInt32Range = 2147483648.0f;
    if (zeroAngles == 0xF) {
        WriteUnturned(quad, scale, out);
    } else if ((zeroAngles & 3) == 3) {
        const float steps = StepsOfDegrees(angleZ);
        if (!(std::fabs(steps) < kInt32Range))
            return ReferenceQuadVertices(quad, angleX, angleY, angleZ, scale, out);
        WritePlanar(quad, TableSinCosOfSteps(steps), scale, out);
    } else {
        const __m128 steps = StepsOfDegrees(angles);
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
        if (_mm_movemask_ps(_mm_cmplt_ps(_mm_and_ps(steps, magnitude),
                                         _mm_set1_ps(kInt32Range))) != 0xF)
            return ReferenceQuadVertices(quad, angleX, angleY, angleZ, scale, out);
        __m128 sines, cosines;
        TableSinCosOfStepLanes(steps, &sines, &cosines);
        WriteTurned(quad, sines, cosines, scale, out);
    }
}

#else

// A build without SSE2 takes the corner-by-corner arithmetic.
void WriteQuadVertices(const QuadDesc& quad, float angleX, float angleY, float angleZ,
                       const VertexScale& scale, RenderVertex out[4]) {
    ReferenceQuadVertices(quad, angleX, angleY, angleZ, scale, out);
}

#endif

}  // namespace KYR
