#include "raster/blit.h"
#include "raster/mem_bitmap.h"
#include "platform/vector_paths.h"
#include "raster/copy_source_alpha.h"
#include "support/processor_features.h"
#include "test_bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace {

struct PixelCase {
    const char* what;
    int mode;
    float alpha;
    RAST_Pixel src, dst, expected;
};

// Hand-computed single pixels. Channels are written a_r_g_b.
const PixelCase kBlitCases[] = {
    {"copy 1.0 replaces", ModeCopy, 1.0f, 0xFFC8640Au, 0x40141EFAu, 0xFFC8640Au},
    {"copy 0.5 shift-and-mask", ModeCopy, 0.5f, 0xFFC8640Au, 0x40141EFAu, 0x9F6E4182u},
    {"copy 0.25 truncates toward zero", ModeCopy, 0.25f, 0xFFC8640Au, 0x40141EFAu, 0x704130BEu},
    {"copy ignores source alpha", ModeCopy, 1.0f, 0x00C8640Au, 0x40141EFAu, 0x00C8640Au},
    {"copy+sa opaque source", ModeCopy | UseSourceAlpha, 1.0f, 0xFFC8640Au, 0x40141EFAu, 0xFFC8640Au},
    {"copy+sa transparent source", ModeCopy | UseSourceAlpha, 1.0f, 0x00C8640Au, 0x40141EFAu, 0x40141EFAu},
    // colour S + (D - S) * 127 / 256, alpha 128 + 64: red 200 - 89 (not -90)
    {"copy+sa half alpha at 1.0", ModeCopy | UseSourceAlpha, 1.0f, 0x80C8640Au, 0x40141EFAu, 0xC06F4281u},
    {"copy+sa alpha saturates", ModeCopy | UseSourceAlpha, 1.0f, 0xF0000000u, 0x40000000u, 0xFF000000u},
    // a = 128, Sa = 255: w = 128, keep 128/256
    {"copy+sa opaque at 0.5", ModeCopy | UseSourceAlpha, 0.5f, 0xFFC8640Au, 0x40141EFAu, 0xC06E4182u},
    // a = 128, Sa = 127: w = 64, keep 192/256, alpha 64 + 64
    {"copy+sa half at 0.5", ModeCopy | UseSourceAlpha, 0.5f, 0x7FC8640Au, 0x40141EFAu, 0x804130BEu},
    {"add clamps", ModeAdd, 0.5f, 0x80C86440u, 0x40141EFAu, 0x807850FFu},
    {"add+sa weights by source alpha", ModeAdd | UseSourceAlpha, 1.0f, 0x7FC86440u, 0x40141EFAu, 0x7F7850FFu},
    {"add+sa skips transparent", ModeAdd | UseSourceAlpha, 1.0f, 0x00C86440u, 0x40141EFAu, 0x40141EFAu},
    {"dodge", ModeDodge, 1.0f, 0x80C864FFu, 0x40141E10u, 0x805B31FFu},
    {"dodge of black stays black", ModeDodge, 1.0f, 0xFFFFFFFFu, 0x00000000u, 0x00000000u},
    // k = 254 still divides: 1*256/2 = 128; k = 255 multiplies by 256 and saturates.
    {"dodge just below the limit", ModeDodge, 1.0f, 0xFEFEFEFEu, 0x01010101u, 0x80808080u},
    {"dodge at the limit", ModeDodge, 1.0f, 0xFFFFFFFFu, 0x01010101u, 0xFFFFFFFFu},
    {"dodge+sa", ModeDodge | UseSourceAlpha, 1.0f, 0x7FC864FFu, 0x40141E10u, 0x5420251Fu},
    {"multiply 1.0", ModeMultiply, 1.0f, 0x80C864FFu, 0x40141E10u, 0x200F0B0Fu},
    {"multiply 0.5", ModeMultiply, 0.5f, 0x80C864FFu, 0x40141E10u, 0x3011140Fu},
    {"multiply+sa skips transparent", ModeMultiply | UseSourceAlpha, 1.0f, 0x00000000u, 0x40141E10u,
     0x40141E10u},
    {"multiply+sa opaque equals multiply", ModeMultiply | UseSourceAlpha, 1.0f, 0xFFC864FFu, 0x40141E10u,
     0x3F0F0B0Fu},
    {"overlay 1.0", ModeOverlay, 1.0f, 0x80C964FFu, 0x40151E10u, 0x401F181Eu},
    {"overlay 0.5", ModeOverlay, 0.5f, 0x80C964FFu, 0x40151E10u, 0x401A1B17u},
    {"channel copy red into alpha", ChannelCopyMode(3, 2), 1.0f, 0x11223344u, 0xAABBCCDDu, 0x22BBCCDDu},
    {"channel copy ignores alpha weight", ChannelCopyMode(0, 3), 0.1f, 0x11223344u, 0xAABBCCDDu, 0xAABBCC11u},
    {"unknown mode draws nothing", 6, 1.0f, 0x11223344u, 0xAABBCCDDu, 0xAABBCCDDu},
    {"zero alpha draws nothing", ModeCopy, 0.0f, 0x11223344u, 0xAABBCCDDu, 0xAABBCCDDu},
    {"alpha below 1/256 draws nothing", ModeAdd, 0.001f, 0x11223344u, 0xAABBCCDDu, 0xAABBCCDDu},
};

} // namespace

TEST(BlitBitmap, PixelFormulas) {
    for (const auto& c : kBlitCases) {
        GuardedBitmap src(1, 1, c.src), dst(1, 1, c.dst);
        BlitBitmap(&dst, &src, 0, 0, nullptr, c.alpha, c.mode);
        EXPECT_EQ(dst.At(0, 0), c.expected) << c.what << std::hex << " got 0x" << dst.At(0, 0);
    }
}

TEST(BlitBitmap, OpaqueCopyWithSourceAlphaEqualsPlainCopy) {
    RAST_MemBitmap src(7, 5), a(9, 9), b(9, 9);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            src.Row(y)[x] = 0xFF000000u | (x * 37 + y * 91) * 2654435761u >> 8;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            a.Row(y)[x] = b.Row(y)[x] = 0x12345678u * (x + 3 * y);
    BlitBitmap(&a, &src, 1, 2, nullptr, 1.0f, ModeCopy | UseSourceAlpha);
    BlitBitmap(&b, &src, 1, 2, nullptr, 1.0f, ModeCopy);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(a.Row(y)[x], b.Row(y)[x]) << x << "," << y;
}

namespace {
// Source pixel value encodes its position so a test can see which pixel went where.
RAST_Pixel Tag(int x, int y) {
    return 0xFF000000u | (y + 1) << 8 | (x + 1);
}

struct ClipCase {
    const char* what;
    int dx, dy;
    bool hasRect;
    RAST_Rect rect;
    // Expected: dest (x, y) receives source (x - offX, y - offY) inside [x0, x1) x [y0, y1).
    int offX, offY, x0, y0, x1, y1;
};
const ClipCase kClipCases[] = {
    {"inside", 1, 1, false, {}, 1, 1, 1, 1, 4, 4},
    {"negative offset", -1, -2, false, {}, -1, -2, 0, 0, 2, 1},
    {"overhangs right and bottom", 3, 4, false, {}, 3, 4, 3, 4, 5, 5},
    {"rect with negative left moves the destination", 0, 0, true, {-1, 0, 2, 2}, 1, 0, 1, 0, 3, 2},
    {"rect beyond source is limited", 0, 0, true, {1, 1, 10, 10}, -1, -1, 0, 0, 2, 2},
    {"empty rect", 0, 0, true, {2, 2, 1, 1}, 0, 0, 0, 0, 0, 0},
    {"offset beyond destination", 5, 0, false, {}, 0, 0, 0, 0, 0, 0},
    {"far negative", INT_MIN, INT_MIN, false, {}, 0, 0, 0, 0, 0, 0},
    {"far positive", INT_MAX, INT_MAX, false, {}, 0, 0, 0, 0, 0, 0},
    {"extreme rect", 0, 0, true, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 0, 0, 0, 0, 0, 0},
    {"extreme rect and offset", INT_MAX, 0, true, {INT_MIN, 0, INT_MAX, 3}, 0, 0, 0, 0, 0, 0},
};
} // namespace

TEST(BlitBitmap, ClipsToBothBitmaps) {
    for (bool flipped : {false, true}) {
        for (const auto& c : kClipCases) {
            GuardedBitmap src(3, 3, 0, flipped), dst(5, 5, 0, !flipped);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 3; ++x)
                    src.At(x, y) = Tag(x, y);
            BlitBitmap(&dst, &src, c.dx, c.dy, c.hasRect ? &c.rect : nullptr, 1.0f, ModeCopy);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 5; ++x) {
                    const bool in = x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1;
                    EXPECT_EQ(dst.At(x, y), in ? Tag(x - c.offX, y - c.offY) : 0u)
                        << c.what << " at " << x << "," << y << (flipped ? " flipped" : "");
                }
            EXPECT_TRUE(dst.GuardsIntact()) << c.what;
        }
    }
}

TEST(BlitBitmap, NullOrEmptyBitmapsDoNothing) {
    GuardedBitmap bmp(2, 2, 0x11111111u);
    RAST_MemBitmap empty;
    BlitBitmap(nullptr, &bmp, 0, 0, nullptr, 1.0f, ModeCopy);
    BlitBitmap(&bmp, nullptr, 0, 0, nullptr, 1.0f, ModeCopy);
    BlitBitmap(&bmp, &empty, 0, 0, nullptr, 1.0f, ModeCopy);
    BlitBitmap(&empty, &bmp, 0, 0, nullptr, 1.0f, ModeCopy);
    EXPECT_EQ(bmp.At(1, 1), 0x11111111u);
}

TEST(BlitBitmap, HsvAdjustNeutralKeepsColourAndTakesSourceAlpha) {
    struct {
        RAST_Pixel src, dst, expected;
    } cases[] = {
        {0x40808080u, 0xFFFF0000u, 0x40FF0000u}, // neutral shift keeps pure red
        {0x40808080u, 0xFF00FF00u, 0x4000FF00u}, {0x40808080u, 0xFF0000FFu, 0x400000FFu},
        {0x40808080u, 0xFF646464u, 0x40646464u}, // grey stays grey
        {0x40808000u, 0xFF646464u, 0x40000000u}, // value pulled down to black
        {0x4080FF80u, 0xFF0000FFu, 0x400000FFu}, // saturation already full
        {0x40808080u, 0x00000000u, 0x40000000u},
    };
    for (const auto& c : cases) {
        GuardedBitmap src(1, 1, c.src), dst(1, 1, c.dst);
        BlitBitmap(&dst, &src, 0, 0, nullptr, 1.0f, ModeHsvAdjust);
        EXPECT_EQ(dst.At(0, 0), c.expected) << std::hex << c.src << " on " << c.dst;
    }
    // A third of a turn moves red to (almost pure) green.
    GuardedBitmap src(1, 1, 0xFFD58080u), dst(1, 1, 0xFFFF0000u);
    BlitBitmap(&dst, &src, 0, 0, nullptr, 1.0f, ModeHsvAdjust);
    const RAST_Pixel d = dst.At(0, 0);
    EXPECT_EQ((d >> 8) & 255, 255u);
    EXPECT_LT((d >> 16) & 255, 8u);
    EXPECT_EQ(d & 255, 0u);
}

TEST(BlitBitmap, CopyWithSourceAlphaOnWideRowsFollowsTheFormula) {
    // Rows long enough for any vectorised inner loop, every alpha from 0 to 255, odd offsets.
    auto expected = [](RAST_Pixel d, RAST_Pixel s, int a) {
        const int sa = s >> 24, da = d >> 24;
        if (sa == 0) return d;
        const int w = a == 256 ? sa : a * (sa + 1) / 256;
        const int keep = a == 256 ? 255 - sa : 256 - w;
        RAST_Pixel out = static_cast<RAST_Pixel>(std::min(255, w + da)) << 24;
        for (int c = 0; c < 3; ++c) {
            const int sc = (s >> (8 * c)) & 255, dc = (d >> (8 * c)) & 255;
            out |= static_cast<RAST_Pixel>(sc + (dc - sc) * keep / 256) << (8 * c);
        }
        return out;
    };
    std::mt19937 rng(99);
    RAST_MemBitmap src(67, 9), dst(70, 9);
    // Both the wide (AVX2, where the processor has it) and the baseline inner loop.
    for (bool baseline : {false, true})
        for (float alpha : {1.0f, 0.7f, 0.5f, 0.01f}) {
            ForceBaselineVectorPaths(baseline);
            for (int y = 0; y < 9; ++y) {
                for (int x = 0; x < 67; ++x)
                    src.Row(y)[x] = rng();
                for (int x = 0; x < 70; ++x)
                    dst.Row(y)[x] = rng();
                src.Row(y)[y] &= 0x00FFFFFFu;
                src.Row(y)[y + 1] |= 0xFF000000u;
            }
            for (int i = 0; i < 256; ++i)
                src.Row(i % 9)[i % 67] = (src.Row(i % 9)[i % 67] & 0xFFFFFFu) | i << 24;
            for (int x = 40; x < 52; ++x) { // runs of opaque and of transparent pixels
                src.Row(7)[x] |= 0xFF000000u;
                src.Row(8)[x] &= 0x00FFFFFFu;
            }
            RAST_MemBitmap before(70, 9);
            BlitBitmap(&before, &dst, 0, 0, nullptr, 1.0f, ModeCopy);
            BlitBitmap(&dst, &src, 3, 0, nullptr, alpha, ModeCopy | UseSourceAlpha);
            // The eight-pixel loop runs exactly where the processor runs AVX2 and nothing forced the
            // baseline: equal pixels alone cannot tell a compiled-out or swapped choice.
            const bool wide = !baseline && ProcessorRunsAvx2();
            ASSERT_STREQ(VectorPathName(rast::LastSourceAlphaPath()),
                         VectorPathName(wide ? VectorPath::Wide : VectorPath::Baseline))
                << "baseline forced: " << baseline;
            const int a = static_cast<int>(alpha * 256);
            for (int y = 0; y < 9; ++y)
                for (int x = 0; x < 70; ++x) {
                    const RAST_Pixel d = before.Row(y)[x];
                    const RAST_Pixel want = x < 3 ? d : expected(d, src.Row(y)[x - 3], a);
                    ASSERT_EQ(dst.Row(y)[x], want)
                        << x << "," << y << " alpha " << alpha << " baseline " << baseline;
                }
        }
    ForceBaselineVectorPaths(false);
}

TEST(BlitBitmap, OverlappingBlitOntoItselfReadsTheOriginalPixels) {
    for (int dx : {-2, 0, 2})
        for (int dy : {-1, 0, 1}) {
            RAST_MemBitmap bmp(6, 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x)
                    bmp.Row(y)[x] = Tag(x, y);
            const RAST_Rect area{1, 1, 5, 4};
            BlitBitmap(&bmp, &bmp, 1 + dx, 1 + dy, &area, 1.0f, ModeAdd);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x) {
                    const int sx = x - dx, sy = y - dy;
                    const bool moved = sx >= 1 && sx < 5 && sy >= 1 && sy < 4;
                    RAST_Pixel want = Tag(x, y);
                    if (moved) {
                        const RAST_Pixel s = Tag(sx, sy);
                        want = 0xFF000000u |
                               std::min<RAST_Pixel>(255, ((want >> 8) & 255) + ((s >> 8) & 255)) << 8 |
                               std::min<RAST_Pixel>(255, (want & 255) + (s & 255));
                    }
                    EXPECT_EQ(bmp.Row(y)[x], want) << dx << "," << dy << " at " << x << "," << y;
                }
        }
}
