#include "editor_fixture.h"
#include "graphics/bitmap_control.h"
#include "graphics/fader_control.h"
#include "graphics/headless/surface_png.h"
#include "graphics/radio_buttons_control.h"
#include "graphics/text_control.h"
#include "raster/png_loader.h"

#include <gtest/gtest.h>

#include <memory>

// A small editor made only of the standard controls, drawn headless and written to PNG files so it
// can be looked at. The images are drawn here, so every pixel of the scene without text follows
// from the blit rules and is compared with a reviewed reference image.

namespace {

constexpr RAST_Pixel kFace = 0xff646464u;
constexpr RAST_Pixel kPanel = 0xff000000u;

struct SampleArtwork {
    std::unique_ptr<RAST_MemBitmap> background{MakeBitmap(120, 60, [](int x, int y) {
        bool panel = x >= 4 && x < 76 && y >= 4 && y < 56;
        return panel ? kPanel : kFace;
    })};
    // Two frames of 8 x 8: an empty ring and a filled disc, with soft (half-alpha) edges.
    std::unique_ptr<RAST_MemBitmap> radio{MakeBitmap(8, 16, [](int x, int y) {
        int fy = y % 8, dx = 2 * x - 7, dy = 2 * fy - 7, d2 = dx * dx + dy * dy;
        bool on = y >= 8;
        if (d2 > 64) return 0x00000000u;
        if (d2 > 40) return 0x80ffffffu;
        if (d2 > 24) return 0xffffffffu;
        return on ? 0xff00b8c2u : 0x00000000u;
    })};
    std::unique_ptr<RAST_MemBitmap> handle{MakeBitmap(6, 6, [](int x, int y) {
        return (x == 0 || y == 0 || x == 5 || y == 5) ? 0x80e0e0e0u : 0xffe0e0e0u;
    })};
    // Five frames of 30 x 4: a bar filling from the left.
    std::unique_ptr<RAST_MemBitmap> meter{MakeBitmap(30, 20, [](int x, int y) {
        int frame = y / 4;
        return x < frame * 30 / 4 ? 0xff20c020u : 0xff303030u;
    })};
};

struct SampleEditor {
    SampleEditor(SampleArtwork& art, bool withText) : plug(4), editor(&plug, 120, 60, 25) {
        plug.GetParam(0)->InitContinuous("Mode", 0.0, 0.0, 2.0, 1.0, "", "", 1.0);
        plug.GetParam(1)->value = 0.5;
        plug.GetParam(2)->value = 0.75;
        editor.AddControl(
            new IBitmapControl(&plug, 0, 0, -1, Strip(art.background.get(), 1), IBlendSpec::kOpaque));
        editor.AddControl(new IRadioButtonsControl(&plug, {84, 6, 92, 38}, 0, 3, Strip(art.radio.get(), 2)));
        editor.AddControl(new IFaderControl(&plug, 84, 44, 30, 1, Strip(art.handle.get(), 1)));
        editor.AddControl(new IBitmapControl(&plug, 8, 48, 2, Strip(art.meter.get(), 5)));
        if (withText) {
            ITextStyle style("Verdana", 12, IArgbColor(255, 220, 220, 220), ITextStyle::kBold,
                             ITextStyle::kFar);
            editor.AddControl(new ITextControl(&plug, {8, 8, 72, 22}, style, "Sample 1.0"));
        }
        // What the plug-in base does when the editor is attached.
        for (int i = 0; i < plug.NParams(); ++i)
            editor.ApplyHostValueToControls(i, plug.GetParam(i)->ToNormalized(plug.GetParam(i)->value));
        editor.PrepareSurfaces();
        editor.AttachToParent(nullptr);
    }
    static IImageStrip Strip(RAST_MemBitmap* b, int frames) {
        return {b, b->Width(), b->Height(), frames, false};
    }

    RecordingPlug plug;
    IGraphicsHeadless editor;
};

std::string OutputPath(const char* name) {
    return ::testing::TempDir() + name;
}

} // namespace

TEST(SampleEditor, RendersTheReferenceImage) {
    SampleArtwork art;
    SampleEditor sample(art, false);
    ASSERT_EQ(sample.editor.TickUntilClean(), 1);
    const RAST_MemBitmap* screen = sample.editor.Presented();
    ASSERT_TRUE(WriteBitmapPng(screen, OutputPath("sample_editor.png")));

    // Spot checks that follow from the artwork and the values: the first radio button is on, the
    // fader handle sits at int(24 * 0.5) = 12 pixels along, the meter shows frame int(4 * 0.75 + 0.5) + 1.
    EXPECT_EQ(PixelAt(screen, 88, 10), 0xff00b8c2u);
    EXPECT_EQ(PixelAt(screen, 88, 22), kFace);
    EXPECT_EQ(PixelAt(screen, 88, 24), 0xffffffffu);
    EXPECT_EQ(PixelAt(screen, 84 + 12 + 2, 46), 0xffe0e0e0u);
    EXPECT_EQ(PixelAt(screen, 8 + 21, 49), 0xff20c020u);
    EXPECT_EQ(PixelAt(screen, 8 + 22, 49), 0xff303030u);

    std::unique_ptr<RAST_MemBitmap> reference(
        LoadPngFromFile(TV_GRAPHICS_REFERENCE_DIR "/sample_editor.png"));
    ASSERT_NE(reference, nullptr);
    ASSERT_EQ(reference->Width(), screen->Width());
    ASSERT_EQ(reference->Height(), screen->Height());
    int differing = 0;
    for (int y = 0; y < screen->Height(); ++y)
        for (int x = 0; x < screen->Width(); ++x)
            differing += (PixelAt(screen, x, y) | 0xff000000u) != PixelAt(reference.get(), x, y);
    EXPECT_EQ(differing, 0);
}

TEST(SampleEditor, InteractionRedrawsOnlyWhatChanged) {
    SampleArtwork art;
    SampleEditor sample(art, true);
    sample.editor.TickUntilClean();
    ASSERT_TRUE(WriteBitmapPng(sample.editor.Presented(), OutputPath("sample_editor_text.png")));

    const IMouseMods left{true, false, false, false, false};
    sample.editor.MouseDown(88, 34, left); // third radio button
    sample.editor.MouseUp(88, 34, left);
    EXPECT_EQ(sample.plug.GetParam(0)->value, 2.0);
    IPixelRect dirty;
    ASSERT_TRUE(sample.editor.CollectDirtyArea(dirty));
    EXPECT_EQ(dirty, IPixelRect(84, 6, 92, 38));
    sample.editor.TickUntilClean();
    EXPECT_EQ(PixelAt(sample.editor.Presented(), 88, 10), kFace); // ring only, its centre shows the face
    EXPECT_EQ(PixelAt(sample.editor.Presented(), 88, 34), 0xff00b8c2u);
}
