// The whole editor after a known design, pixel for pixel against a reviewed picture. No text is
// drawn by controls in this state (no calibration label, About box hidden), so every pixel counts.
#include "app_fixture.h"

#include "engine/band_grid.h"
#include "graphics/headless/surface_png.h"
#include "raster/mem_bitmap.h"
#include "raster/png_loader.h"

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// A target microphone with a low cut and a presence peak, and a drawn wish for more low end.
void KnownMeasurement(CorrectionEngine& e) {
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
}

} // namespace

TEST_F(EditorApp, WholeEditorAfterAKnownDesignMatchesTheReviewedPicture) {
    Prepare(48000.0);
    KnownMeasurement(Engine());
    Click(530, 214); // corrected target: designs
    editor->TickUntilClean();
    const RAST_MemBitmap* screen = editor->Presented();
    ASSERT_TRUE(WriteBitmapPng(screen, "editor_after_design.png"));
    const std::string referencePath = TV_APPLICATION_REFERENCE_DIR "/editor_after_design.png";
    if (std::getenv("TV_UPDATE_REFERENCE")) {
        ASSERT_TRUE(WriteBitmapPng(screen, referencePath));
    }

    std::unique_ptr<RAST_MemBitmap> reference(LoadPngFromFile(referencePath.c_str()));
    ASSERT_NE(reference, nullptr);
    ASSERT_EQ(reference->Width(), 730);
    ASSERT_EQ(reference->Height(), 330);
    int differing = 0;
    for (int y = 0; y < 330; ++y)
        for (int x = 0; x < 730; ++x)
            differing += (screen->Row(y)[x] | 0xff000000u) != reference->Row(y)[x];
    EXPECT_EQ(differing, 0) << "see editor_after_design.png in the test's folder";
}
