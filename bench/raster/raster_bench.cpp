// Editor-sized workloads timed against pixman doing the equivalent composite: the whole 730 x 330
// surface blitted with the source's alpha, and a 438-point anti-aliased polyline (a response
// curve). Prints each CPU time as a ratio to pixman's (CPU time, because the machine is shared).

#include "bench/pixman_over.h"
#include "platform/vector_paths.h"
#include "raster/blit.h"
#include "raster/copy_source_alpha.h"
#include "raster/mem_bitmap.h"
#include "raster/sys_bitmap.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 730, kHeight = 330, kPoints = 438;

// Straight-alpha source with every alpha from transparent to opaque.
void FillSource(RAST_IBitmap& bmp) {
    std::mt19937 rng(42);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            RAST_Pixel p = rng();
            if (x % 7 == 0) p |= 0xFF000000u;
            if (x % 11 == 0) p &= 0x00FFFFFFu;
            bmp.Row(y)[x] = p;
        }
}

// The same pixels premultiplied, as pixman stores them.
void Premultiply(const RAST_IBitmap& from, uint32_t* to) {
    for (int y = 0; y < from.Height(); ++y)
        for (int x = 0; x < from.Width(); ++x) {
            const RAST_Pixel p = from.Row(y)[x];
            const uint32_t a = p >> 24;
            auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
            to[y * from.Width() + x] =
                a << 24 | mul((p >> 16) & 255) << 16 | mul((p >> 8) & 255) << 8 | mul(p & 255);
        }
}

struct Point {
    double x, y;
};

std::vector<Point> Curve() {
    std::vector<Point> pts;
    for (int i = 0; i < kPoints; ++i) {
        const double t = static_cast<double>(i) / (kPoints - 1);
        pts.push_back({4 + t * (kWidth - 8),
                       kHeight / 2 + 120 * std::sin(t * 9.0) * std::exp(-t) + 20 * std::sin(t * 57.0)});
    }
    return pts;
}

// What each argument's timed blits actually ran, as the blend recorded it.
VectorPath blitPathRan[2] = {VectorPath::None, VectorPath::None};

// Arg 1: the wide path where the processor has it; 0: the baseline (SSE2) path.
void BM_BlitSourceAlpha(benchmark::State& state) {
    ForceBaselineVectorPaths(state.range(0) == 0);
    RAST_MemBitmap src(kWidth, kHeight);
    RAST_SysBitmap dst(kWidth, kHeight);
    FillSource(src);
    FillRectangle(&dst, 0, 0, kWidth, kHeight, 0xFF336699u, 1.0f, ModeCopy);
    for (auto _ : state) {
        BlitBitmap(&dst, &src, 0, 0, nullptr, 1.0f, ModeCopy | UseSourceAlpha);
        benchmark::DoNotOptimize(dst.Bits());
        benchmark::ClobberMemory();
    }
    blitPathRan[state.range(0)] = rast::LastSourceAlphaPath();
    state.SetLabel(VectorPathName(blitPathRan[state.range(0)]));
    ForceBaselineVectorPaths(false);
}

void BM_PixmanOver(benchmark::State& state) {
    RAST_MemBitmap straight(kWidth, kHeight);
    FillSource(straight);
    std::vector<uint32_t> srcPixels(kWidth * kHeight), dstPixels(kWidth * kHeight, 0xFF336699u);
    Premultiply(straight, srcPixels.data());
    TimePixmanOver(state, srcPixels.data(), dstPixels.data(), kWidth, kHeight);
}

void BM_Polyline(benchmark::State& state) {
    RAST_SysBitmap dst(kWidth, kHeight);
    FillRectangle(&dst, 0, 0, kWidth, kHeight, 0xFF202020u, 1.0f, ModeCopy);
    const auto pts = Curve();
    for (auto _ : state) {
        for (size_t i = 1; i < pts.size(); ++i)
            DrawLine(&dst, static_cast<int>(pts[i - 1].x), static_cast<int>(pts[i - 1].y),
                     static_cast<int>(pts[i].x), static_cast<int>(pts[i].y), 0xFFFFD040u, 1.0f, ModeCopy);
        benchmark::DoNotOptimize(dst.Bits());
        benchmark::ClobberMemory();
    }
}

// Each segment as a one-pixel-wide quad (two triangles) composited with a solid colour.
void BM_PixmanPolyline(benchmark::State& state) {
    std::vector<uint32_t> dstPixels(kWidth * kHeight, 0xFF202020u);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, dstPixels.data(), kWidth * 4);
    pixman_color_t colour{0xFFFF, 0xD0D0, 0x4040, 0xFFFF};
    pixman_image_t* solid = pixman_image_create_solid_fill(&colour);
    const auto pts = Curve();
    std::vector<pixman_triangle_t> quads;
    for (size_t i = 1; i < pts.size(); ++i) {
        const double dx = pts[i].x - pts[i - 1].x, dy = pts[i].y - pts[i - 1].y;
        const double len = std::hypot(dx, dy);
        const double nx = -dy / len * 0.5, ny = dx / len * 0.5;
        auto fx = [](double v) { return pixman_double_to_fixed(v + 0.5); };
        const pixman_point_fixed_t a{fx(pts[i - 1].x + nx), fx(pts[i - 1].y + ny)};
        const pixman_point_fixed_t b{fx(pts[i - 1].x - nx), fx(pts[i - 1].y - ny)};
        const pixman_point_fixed_t c{fx(pts[i].x + nx), fx(pts[i].y + ny)};
        const pixman_point_fixed_t d{fx(pts[i].x - nx), fx(pts[i].y - ny)};
        quads.push_back({a, b, c});
        quads.push_back({b, d, c});
    }
    for (auto _ : state) {
        for (size_t i = 0; i < quads.size(); i += 2)
            pixman_composite_triangles(PIXMAN_OP_OVER, solid, dst, PIXMAN_a8, 0, 0, 0, 0, 2, &quads[i]);
        benchmark::DoNotOptimize(dstPixels.data());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(solid);
    pixman_image_unref(dst);
}

// Console output plus the ratios of each of ours to its pixman counterpart.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions the median stands for the benchmark; otherwise its single run.
        for (const Run& r : runs) {
            const std::string name =
                r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
            if (r.run_type == Run::RT_Iteration && !medians.count(name)) times[name] = r.GetAdjustedCPUTime();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
                times[name] = r.GetAdjustedCPUTime();
                medians.insert(name);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (int arg : {1, 0}) {
            const std::string what =
                std::string("blit 730x330 copy with source alpha, ran ") + VectorPathName(blitPathRan[arg]);
            Ratio(what.c_str(), "BM_BlitSourceAlpha/" + std::to_string(arg), "BM_PixmanOver", "(target <= 1.0)");
        }
        Ratio("438-point anti-aliased polyline", "BM_Polyline", "BM_PixmanPolyline", "");
    }

  private:
    void Ratio(const char* what, const std::string& ours, const std::string& theirs, const char* target) {
        if (!times.count(ours) || !times.count(theirs) || times[theirs] <= 0) return;
        std::printf("ratio %-50s %.2f (ours / pixman) %s\n", what, times[ours] / times[theirs], target);
    }
    std::map<std::string, double> times;
    std::set<std::string> medians;
};

} // namespace

BENCHMARK(BM_BlitSourceAlpha)->Arg(1)->Arg(0);
BENCHMARK(BM_PixmanOver);
BENCHMARK(BM_Polyline);
BENCHMARK(BM_PixmanPolyline);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
