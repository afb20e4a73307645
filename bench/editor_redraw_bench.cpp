// The whole editor drawn again (background, the three response curves at 120 knots, every
// control) against pixman compositing one editor-sized surface with OVER, in the same run.
#include "graphics/headless/headless_graphics.h"
#include "pixman_over.h"
#include "plugin/mic_corrector.h"
#include "ratio_reporter.h"
#include "support/known_designs.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 730, kHeight = 330;

bool redrawnEverything = true;

void EditorFullRedraw(benchmark::State& state) {
    IMicCorrector* fx = new IMicCorrector(CreateHeadlessEditor);
    auto* editor = static_cast<IGraphicsHeadless*>(fx->Editor());
    int parent = 0;
    editor->AttachToParent(&parent);
    vst::ProcessSetup setup{vst::kRealtime, vst::kSample64, 512, 48000.0};
    fx->setupProcessing(setup);
    // All three curves have 120 knots.
    SetKnownMeasurement(fx->Engine());
    fx->Engine().SetResolution(1.0);
    fx->Engine().SetOutputSelection(1.0);
    fx->Engine().DesignIfRequested();
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
    TimePixmanOver(state, src.data(), dst.data(), kWidth, kHeight);
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
