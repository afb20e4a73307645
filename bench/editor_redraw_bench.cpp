// The whole editor drawn again (background, the three response curves at 120 knots, every
// control) against pixman compositing one editor-sized surface with OVER, in the same run.
#include "engine/band_grid.h"
#include "graphics/headless/headless_graphics.h"
#include "plugin/mic_corrector.h"
#include "ratio_reporter.h"

#include <pixman.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 730, kHeight = 330;

// A measured target with a low cut and a presence peak against a flat reference, and a drawn wish
// for more low end, at high resolution: all three curves have 120 knots.
void KnownDesign(IMicCorrector* fx) {
    CorrectionEngine& e = fx->Engine();
    const auto& f = TheBandGrid().bandFrequencies;
    for (int i = 0; i < kBandCount; ++i) {
        const double lowCut = -8.0 / (1.0 + std::pow(f[i] / 90.0, 2.0));
        const double presence = 4.0 * std::exp(-std::pow(std::log2(f[i] / 3500.0) / 0.5, 2.0));
        e.referenceBands[i] = 0.02;
        e.targetBands[i] = 0.02 * std::pow(10.0, (lowCut + presence) / 20.0);
    }
    for (int i = 0; i < kNormalBands; ++i)
        e.userCurve[i] = i < 8 ? std::pow(10.0, 3.0 / 20.0) : 1.0;
    ExpandCurveTo120(e.userCurve.data(), e.userCurve.data() + kHighOffset);
    e.SetResolution(1.0);
    e.SetOutputSelection(1.0); // designs
}

bool redrawnEverything = true;

void EditorFullRedraw(benchmark::State& state) {
    IMicCorrector* fx = new IMicCorrector(CreateHeadlessEditor);
    auto* editor = static_cast<IGraphicsHeadless*>(fx->Editor());
    int parent = 0;
    editor->AttachToParent(&parent);
    vst::ProcessSetup setup{vst::kRealtime, vst::kSample64, 512, 48000.0};
    fx->setupProcessing(setup);
    KnownDesign(fx);
    editor->TickUntilClean();
    for (auto _ : state) {
        editor->MarkAllControlsDirty();
        editor->Tick();
        benchmark::DoNotOptimize(editor->Presented());
    }
    const IPixelRect& drawn = editor->LastPresentedArea();
    redrawnEverything = drawn.left == 0 && drawn.top == 0 && drawn.right == kWidth && drawn.bottom == kHeight;
    editor->DetachWindow();
    fx->release();
}
BENCHMARK(EditorFullRedraw)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// Straight-alpha noise with every alpha, premultiplied as pixman keeps it.
void PixmanOverOfTheEditor(benchmark::State& state) {
    std::mt19937 rng(42);
    std::vector<uint32_t> src(kWidth * kHeight), dst(kWidth * kHeight, 0xFF336699u);
    for (uint32_t& p : src) {
        const uint32_t s = rng(), a = s >> 24;
        auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
        p = a << 24 | mul((s >> 16) & 255) << 16 | mul((s >> 8) & 255) << 8 | mul(s & 255);
    }
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, src.data(), kWidth * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, dst.data(), kWidth * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
}
BENCHMARK(PixmanOverOfTheEditor)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    // The instance looks for its calibration in the documents folder: an empty one of our own.
    const std::filesystem::path documents = std::filesystem::temp_directory_path() / "tv-editor-redraw-bench";
    std::filesystem::create_directories(documents);
    setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    RatioReporter reporter;
    if (!RunWithReporter(argc, argv, reporter)) return 1;
    reporter.PrintRatio("ratio full editor redraw / pixman OVER of one editor-sized surface",
                        "EditorFullRedraw", "PixmanOverOfTheEditor", "(target <= 3)");
    std::printf("every tick presented the whole editor: %s\n", redrawnEverything ? "yes" : "NO");
    return redrawnEverything ? 0 : 1;
}
