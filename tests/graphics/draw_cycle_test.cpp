#include "editor_fixture.h"
#include "graphics/bitmap_control.h"

#include <gtest/gtest.h>

namespace {

IImageStrip SolidStrip(RAST_MemBitmap* b, int frames = 1) {
    return {b, b->Width(), b->Height(), frames, false};
}

} // namespace

TEST(DrawCycle, EmptyEditorPresentsNothing) {
    EditorRig rig;
    EXPECT_TRUE(rig.editor.DrawDirty({0, 0, 10, 10}));
    EXPECT_EQ(rig.editor.PresentCount(), 0);
    IPixelRect r(1, 2, 3, 4);
    EXPECT_FALSE(rig.editor.CollectDirtyArea(r));
    EXPECT_TRUE(r.Empty());
}

TEST(DrawCycle, StrictDrawingPaintsWhatMeetsTheAreaAndCleansEverything) {
    EditorRig rig;
    auto* back = rig.Add(new ProbeControl(&rig.plug, {0, 0, 64, 48}, -1, 0xff000000u));
    auto* knob = rig.Add(new ProbeControl(&rig.plug, {10, 10, 20, 20}, 0, 0xffff0000u));
    auto* hidden = rig.Add(new ProbeControl(&rig.plug, {12, 12, 18, 18}, -1, 0xff00ff00u));
    auto* far = rig.Add(new ProbeControl(&rig.plug, {40, 30, 50, 40}, -1, 0xff0000ffu));
    hidden->SetHidden(true);

    IPixelRect area;
    ASSERT_TRUE(rig.editor.CollectDirtyArea(area));
    EXPECT_EQ(area, IPixelRect(0, 0, 64, 48));
    ASSERT_TRUE(rig.editor.Tick());
    EXPECT_EQ(back->paints, 1);
    EXPECT_EQ(knob->paints, 1);
    EXPECT_EQ(hidden->paints, 0);
    EXPECT_EQ(far->paints, 1);
    // Hidden: repaint-again from SetHidden keeps it dirty one more cycle, then it is clean.
    rig.editor.Tick();
    EXPECT_FALSE(rig.editor.CollectDirtyArea(area));
    EXPECT_EQ(hidden->paints, 0);

    back->paints = knob->paints = far->paints = 0;
    knob->ApplyHostValue(0.5); // first host value: no mark
    knob->ApplyUserValue(0.9);
    ASSERT_TRUE(rig.editor.CollectDirtyArea(area));
    EXPECT_EQ(area, IPixelRect(10, 10, 20, 20));
    rig.editor.Tick();
    EXPECT_EQ(back->paints, 1);
    EXPECT_EQ(knob->paints, 1);
    EXPECT_EQ(far->paints, 0);
    EXPECT_EQ(rig.editor.LastPresentedArea(), area);

    const RAST_MemBitmap* screen = rig.editor.Presented();
    EXPECT_EQ(PixelAt(screen, 15, 15), 0xffff0000u);
    EXPECT_EQ(PixelAt(screen, 5, 5), 0xff000000u);
    EXPECT_EQ(PixelAt(screen, 45, 35), 0xff0000ffu);
}

TEST(DrawCycle, NonStrictDrawingRedrawsEachDirtyControlWithItsNeighbours) {
    EditorRig rig;
    auto* back = rig.Add(new ProbeControl(&rig.plug, {0, 0, 64, 48}));
    auto* a = rig.Add(new ProbeControl(&rig.plug, {10, 10, 20, 20}));
    auto* overlap = rig.Add(new ProbeControl(&rig.plug, {15, 15, 30, 30}));
    auto* apart = rig.Add(new ProbeControl(&rig.plug, {40, 30, 50, 40}));
    auto* hidden = rig.Add(new ProbeControl(&rig.plug, {0, 0, 64, 48}));
    rig.editor.SetStrictDrawing(false);
    hidden->SetHidden(true);
    hidden->MarkClean();

    // Background dirty: everything that is shown is painted and cleaned; hidden ones stay dirty.
    rig.editor.DrawDirty({0, 0, 64, 48});
    EXPECT_EQ(back->paints + a->paints + overlap->paints + apart->paints, 4);
    EXPECT_EQ(hidden->paints, 0);
    EXPECT_TRUE(hidden->NeedsRepaint());
    EXPECT_FALSE(a->NeedsRepaint());
    hidden->MarkClean();

    back->paints = a->paints = overlap->paints = apart->paints = 0;
    a->MarkDirty(false);
    rig.editor.DrawDirty({10, 10, 20, 20});
    EXPECT_EQ(back->paints, 1);
    EXPECT_EQ(a->paints, 1);
    EXPECT_EQ(overlap->paints, 1);
    EXPECT_EQ(apart->paints, 0);
    EXPECT_EQ(rig.editor.DrawArea(), IPixelRect(10, 10, 20, 20));
    EXPECT_FALSE(a->NeedsRepaint());
}

TEST(DrawCycle, ControlsDrawOnlyInsideTheDrawArea) {
    EditorRig rig;
    auto* bg = MakeBitmap(64, 48, [](int, int) { return 0xff101010u; });
    RAST_MemBitmap* bitmap = bg;
    auto* back = rig.Add(new IBitmapControl(&rig.plug, 0, 0, -1, SolidStrip(bitmap), IBlendSpec::kOpaque));
    rig.editor.Tick();
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            bitmap->Row(y)[x] = 0xff202020u;
    rig.editor.DrawDirty({8, 4, 16, 12});
    const RAST_IBitmap* surface = rig.editor.DrawSurface();
    EXPECT_EQ(PixelAt(surface, 8, 4), 0xff202020u);
    EXPECT_EQ(PixelAt(surface, 15, 11), 0xff202020u);
    EXPECT_EQ(PixelAt(surface, 16, 11), 0xff101010u);
    EXPECT_EQ(PixelAt(surface, 7, 4), 0xff101010u);
    EXPECT_EQ(PixelAt(surface, 8, 12), 0xff101010u);
    (void)back;
    delete bg;
}

TEST(DrawCycle, ImagesBlendWithSourceAlphaAndDisabledWeight) {
    // Background opaque D = (255, 40, 80, 120); overlay S = (128, 200, 100, 0).
    const RAST_Pixel d = 0xff285078u, s = 0x80c86400u;
    auto* bgBits = MakeBitmap(8, 8, [&](int, int) { return d; });
    auto* fgBits = MakeBitmap(4, 4, [&](int, int) { return s; });
    EditorRig rig(8, 8);
    rig.Add(new IBitmapControl(&rig.plug, 0, 0, -1, SolidStrip(bgBits), IBlendSpec::kOpaque));
    auto* fg = rig.Add(new IBitmapControl(&rig.plug, 2, 2, -1, SolidStrip(fgBits)));
    rig.editor.Tick();

    auto channel = [](RAST_Pixel p, int shift) { return int((p >> shift) & 0xff); };
    // Copy with source alpha at full weight: D' = S + (D - S) * (255 - Sa) / 256, alpha min(255, Sa + Da).
    RAST_Pixel got = PixelAt(rig.editor.DrawSurface(), 3, 3);
    for (int shift : {0, 8, 16}) {
        int sc = channel(s, shift), dc = channel(d, shift);
        EXPECT_EQ(channel(got, shift), sc + (dc - sc) * (255 - 128) / 256) << shift;
    }
    EXPECT_EQ(channel(got, 24), 255);
    EXPECT_EQ(PixelAt(rig.editor.DrawSurface(), 1, 1), d);

    // Disabled: weight 0.25, a = 64, w = a * (Sa + 1) / 256; D' = S + (D - S) * (256 - w) / 256.
    fg->SetDisabled(true);
    rig.editor.TickUntilClean();
    got = PixelAt(rig.editor.DrawSurface(), 3, 3);
    int w = 64 * (128 + 1) / 256;
    for (int shift : {0, 8, 16}) {
        int sc = channel(s, shift), dc = channel(d, shift);
        EXPECT_EQ(channel(got, shift), sc + (dc - sc) * (256 - w) / 256) << shift;
    }
    delete bgBits;
    delete fgBits;
}

TEST(DrawCycle, BitmapControlPicksTheFrameByValue) {
    // Three stacked frames of 4 x 3 in distinct colours.
    const RAST_Pixel colours[] = {0xff0000aau, 0xff00bb00u, 0xffcc0000u};
    auto* bits = MakeBitmap(4, 9, [&](int, int y) { return colours[y / 3]; });
    EditorRig rig(8, 8);
    auto* c = rig.Add(new IBitmapControl(&rig.plug, 1, 2, 0, SolidStrip(bits, 3), IBlendSpec::kOpaque));
    EXPECT_EQ(c->DrawRect(), IPixelRect(1, 2, 5, 5));
    struct Case {
        double value;
        int frame;
    } cases[] = {{0.0, 1}, {0.24, 1}, {0.25, 2}, {0.5, 2}, {0.74, 2}, {0.75, 3}, {1.0, 3}};
    for (const Case& k : cases) {
        c->SetValue(k.value);
        EXPECT_EQ(c->FrameForValue(), k.frame) << k.value;
        c->MarkDirty(false);
        rig.editor.TickUntilClean();
        EXPECT_EQ(PixelAt(rig.editor.DrawSurface(), 2, 3), colours[k.frame - 1]) << k.value;
    }
    // The progress bar's 21 frames: 0.05 steps select frames 1 to 21.
    IBitmapControl progress(&rig.plug, 150, 77, 9, {nullptr, 225, 609, 21, false});
    EXPECT_EQ(progress.DrawRect(), IPixelRect(150, 77, 375, 106));
    for (int k = 0; k <= 20; ++k) {
        progress.SetValue(k * 0.05);
        EXPECT_EQ(progress.FrameForValue(), k + 1) << k;
    }
    delete bits;
}
