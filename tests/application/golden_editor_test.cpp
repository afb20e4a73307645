// The whole editor after a known design, pixel for pixel against a reviewed picture. No text is
// drawn by controls in this state (no calibration label, About box hidden), so every pixel counts.
#include "app_fixture.h"

#include "graphics/headless/surface_png.h"
#include "raster/mem_bitmap.h"
#include "raster/png_loader.h"
#include "support/known_designs.h"

#include <cstdlib>
#include <memory>

TEST_F(EditorApp, WholeEditorAfterAKnownDesignMatchesTheReviewedPicture) {
    Prepare(48000.0);
    SetKnownMeasurement(Engine());
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
