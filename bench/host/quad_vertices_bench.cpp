// The quad batch's vertex work (what AddQuad runs under the device lock) against the store
// floor: a loop that writes the same 28-byte vertex records from values computed beforehand,
// with one multiply per vertex so that it stays a loop of stores and not a memcpy. Both are
// measured in the same run over 4,096 sprites, alternately, so a slow moment of the shared
// machine falls on both alike. A sprite can hardly cost less than its 112 bytes of stores:
//   quad_vs_store_floor         sprites turned about all three axes, angles of every size
//                               and sign
//   quad_planar_vs_store_floor  the same sprites turned in the screen's plane only (the
//                               spinning sprite of a 2D game)
//   quad_flat_vs_store_floor    the same sprites unrotated (all three angles 0)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "../BenchClock.h"
#include "engine/graphics/BatchGeometry.h"
#include "engine/core/SineTable.h"

namespace {

using KYR::QuadDesc;
using KYR::RenderVertex;
using KYR::VertexScale;

constexpr int kQuads = 4096;
constexpr int kRounds = 41;
constexpr VertexScale kScale = {1.0f / 256, 1.0f / 256, KYR::kDepthStep};

struct Job {
    QuadDesc quad;
    float ax, ay, az;
};

enum class Turn { kNone, kPlanar, kAllAxes };

std::vector<Job> MakeJobs(Turn turn) {
    const bool rotated = turn != Turn::kNone, tilted = turn == Turn::kAllAxes;
    std::vector<Job> jobs(kQuads);
    for (int i = 0; i < kQuads; ++i) {
        Job& j = jobs[i];
        const int x = (i * 37) % 600, y = (i * 91) % 440, w = 8 + i % 56, h = 8 + i % 40;
        const int xs[4] = {x, x + w, x, x + w}, ys[4] = {y, y, y + h, y + h};
        for (int k = 0; k < 4; ++k) {
            j.quad.x[k] = xs[k];
            j.quad.y[k] = ys[k];
            j.quad.u[k] = xs[k] - x;
            j.quad.v[k] = ys[k] - y;
            j.quad.z[k] = static_cast<uint32_t>(i);
            j.quad.rhw[k] = 1.0f;
            j.quad.colour[k] = 0xFFFFFFFFu;
        }
        // Angles of every size and sign, as a game's spinning sprites produce them.
        j.ax = tilted ? (i % 7) * 13.7f - 40.0f : 0.0f;
        j.ay = tilted ? (i % 11) * -9.3f : 0.0f;
        j.az = rotated ? i * 1.37f - 2000.0f : 0.0f;
    }
    return jobs;
}

double TimeQuads(const std::vector<Job>& jobs, std::vector<RenderVertex>& out) {
    const double start = bench::NowUs();
    for (int i = 0; i < kQuads; ++i)
        KYR::WriteQuadVertices(jobs[i].quad, jobs[i].ax, jobs[i].ay, jobs[i].az, kScale,
                               &out[i * 4]);
    return bench::NowUs() - start;
}

double TimeFloor(const std::vector<RenderVertex>& records, float factor,
                 std::vector<RenderVertex>& out) {
    const double start = bench::NowUs();
    for (int i = 0; i < kQuads * 4; ++i) {
        RenderVertex v = records[i];
        v.rhw *= factor;
        out[i] = v;
    }
    return bench::NowUs() - start;
}

// The largest x or y difference from the reference arithmetic, in pixels.
double WorstDifference(const std::vector<Job>& jobs, const std::vector<RenderVertex>& got) {
    double worst = 0;
    for (int i = 0; i < kQuads; ++i) {
        RenderVertex want[4];
        KYR::ReferenceQuadVertices(jobs[i].quad, jobs[i].ax, jobs[i].ay, jobs[i].az, kScale,
                                   want);
        for (int k = 0; k < 4; ++k)
            worst = std::max({worst, std::fabs(static_cast<double>(got[i * 4 + k].x) - want[k].x),
                              std::fabs(static_cast<double>(got[i * 4 + k].y) - want[k].y)});
    }
    return worst;
}

}  // namespace

int main() {
    KYR::FillSineTable();
    const std::vector<Job> rotated = MakeJobs(Turn::kAllAxes), planar = MakeJobs(Turn::kPlanar),
                           flat = MakeJobs(Turn::kNone);
    // The floor's records: the rotated sprites' own vertices.
    std::vector<RenderVertex> records(kQuads * 4), out(kQuads * 4);
    TimeQuads(rotated, records);
    volatile float one = 1.0f;  // a factor the compiler cannot fold away
    std::vector<double> quadUs, planarUs, flatUs, floorUs;
    for (int r = 0; r < kRounds; ++r) {
        floorUs.push_back(TimeFloor(records, one, out));
        quadUs.push_back(TimeQuads(rotated, out));
        planarUs.push_back(TimeQuads(planar, out));
        flatUs.push_back(TimeQuads(flat, out));
    }
    double worst = WorstDifference(rotated, records);
    for (const std::vector<Job>* jobs : {&planar, &flat}) {
        TimeQuads(*jobs, out);
        worst = std::max(worst, WorstDifference(*jobs, out));
    }
    const double q = bench::Median(quadUs), p = bench::Median(planarUs),
                 f = bench::Median(flatUs), s = bench::Median(floorUs);
    std::printf("%d quads: all axes %.1f us, screen's plane %.1f us, unrotated %.1f us, store "
                "floor %.1f us (%.1f / %.1f / %.1f / %.1f ns a quad); largest difference from "
                "the reference %.6f px\n",
                kQuads, q, p, f, s, q * 1e3 / kQuads, p * 1e3 / kQuads, f * 1e3 / kQuads,
                s * 1e3 / kQuads, worst);
    bench::PrintRatio("quad_vs_store_floor", s > 0 ? q / s : 0, "at most 2.50");
    bench::PrintRatio("quad_planar_vs_store_floor", s > 0 ? p / s : 0, "at most 2.50");
    bench::PrintRatio("quad_flat_vs_store_floor", s > 0 ? f / s : 0, "at most 1.50");
    return worst <= 1e-4 ? 0 : 1;
}
