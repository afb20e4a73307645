#include "raster/blit.h"
#include "test_bitmap.h"

#include <gtest/gtest.h>

#include <climits>

TEST(FillRectangle, PixelFormulas) {
    struct {
        const char* what;
        int mode;
        float alpha;
        RAST_Pixel colour, dst, expected;
    } cases[] = {
        {"opaque", ModeCopy, 1.0f, 0xFFC8640Au, 0x40141EFAu, 0xFFC8640Au},
        {"half", ModeCopy, 0.5f, 0xFFC8640Au, 0x40141EFAu, 0x9F6E4182u},
        {"quarter", ModeCopy, 0.25f, 0xFFC8640Au, 0x40141EFAu, 0x6F412FBDu},
        {"three quarters", ModeCopy, 0.75f, 0xFFC8640Au, 0x40141EFAu, 0xCE9B5245u},
        // colour Pc + (D - Pc) * 160 / 256; alpha uses the weight 96, not the colour's alpha
        {"other weight", ModeCopy, 0.375f, 0xFFC8640Au, 0x40141EFAu, 0x4C5839A0u},
        // 1.0 x 128 / 255 gives weight 128, the shift-and-mask half
        {"colour alpha scales weight", ModeCopy | UseSourceAlpha, 1.0f, 0x80C8640Au, 0x40141EFAu,
         0x606E4182u},
        {"transparent colour with source alpha", ModeCopy | UseSourceAlpha, 1.0f, 0x00C8640Au, 0x40141EFAu,
         0x40141EFAu},
        {"multiply", ModeMultiply, 0.5f, 0xFFC8640Au, 0x40141EFAu, 0x30111481u},
        {"add uses the weight as alpha channel", ModeAdd, 0.5f, 0x00C8640Au, 0x40141EFAu, 0x807850FFu},
        {"zero alpha", ModeCopy, 0.0f, 0xFFC8640Au, 0x40141EFAu, 0x40141EFAu},
        {"unknown mode", 9, 1.0f, 0xFFC8640Au, 0x40141EFAu, 0x40141EFAu},
    };
    for (const auto& c : cases) {
        GuardedBitmap dst(2, 2, c.dst);
        FillRectangle(&dst, 0, 0, 2, 2, c.colour, c.alpha, c.mode);
        EXPECT_EQ(dst.At(1, 1), c.expected) << c.what << std::hex << " got 0x" << dst.At(1, 1);
        EXPECT_EQ(dst.At(0, 0), dst.At(1, 1)) << c.what;
    }
}

TEST(FillRectangle, ClipsAndRejectsEmptyAreas) {
    struct {
        int x, y, w, h;
        int x0, y0, x1, y1; // expected filled area
    } cases[] = {
        {1, 1, 2, 2, 1, 1, 3, 3},
        {-2, -1, 4, 3, 0, 0, 2, 2},
        {2, 2, 100, 100, 2, 2, 4, 4},
        {0, 0, -3, 2, 0, 0, 0, 0},
        {4, 0, 1, 1, 0, 0, 0, 0},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, 0, 0},
        {-1, -1, INT_MAX, INT_MAX, 0, 0, 4, 4},
    };
    for (bool flipped : {false, true})
        for (const auto& c : cases) {
            GuardedBitmap dst(4, 4, 0, flipped);
            FillRectangle(&dst, c.x, c.y, c.w, c.h, 0xFFFFFFFFu, 1.0f, ModeCopy);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) {
                    const bool in = x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1;
                    EXPECT_EQ(dst.At(x, y), in ? 0xFFFFFFFFu : 0u)
                        << c.x << "," << c.y << " at " << x << "," << y;
                }
            EXPECT_TRUE(dst.GuardsIntact());
        }
    FillRectangle(nullptr, 0, 0, 5, 5, 0, 1.0f, ModeCopy);
}
