#include "raster/blit.h"
#include "test_bitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {
constexpr RAST_Pixel kBlack = 0xFF000000u;
constexpr RAST_Pixel kWhite = 0xFFFFFFFFu;
// Grey level of a white-on-black pixel of weight w through the copy formula.
RAST_Pixel Grey(int level) {
    return kBlack | level << 16 | level << 8 | level;
}

// Compares a bitmap against rows of grey levels (-1 = untouched black).
void ExpectGreys(const GuardedBitmap& bmp, const std::vector<std::vector<int>>& rows, const char* what) {
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int x = 0; x < static_cast<int>(rows[y].size()); ++x)
            EXPECT_EQ(bmp.At(x, y), rows[y][x] < 0 ? kBlack : Grey(rows[y][x]))
                << what << " at " << x << "," << y;
    EXPECT_TRUE(bmp.GuardsIntact()) << what;
}
} // namespace

TEST(DrawLine, SinglePixelAndStraightRunsIncludeBothEnds) {
    GuardedBitmap bmp(5, 4, kBlack);
    DrawLine(&bmp, 2, 1, 2, 1, kWhite, 1.0f, ModeCopy);
    DrawLine(&bmp, 3, 3, 0, 3, kWhite, 1.0f, ModeCopy);
    DrawLine(&bmp, 4, 2, 4, 0, kWhite, 1.0f, ModeCopy);
    ExpectGreys(
        bmp, {{-1, -1, -1, -1, 255}, {-1, -1, 255, -1, 255}, {-1, -1, -1, -1, 255}, {255, 255, 255, 255, -1}},
        "runs");
}

TEST(DrawLine, StraightRunWeights) {
    struct {
        const char* what;
        int mode;
        float alpha;
        RAST_Pixel expected;
    } cases[] = {
        {"1.0", ModeCopy, 1.0f, 0xFFC8640Bu},
        {"0.5 shift-and-mask", ModeCopy, 0.5f, 0x9F6E4182u},
        {"just above 0.5 averages each channel", ModeCopy, 0.5001f, 0x9F6E4183u},
        {"0.25", ModeCopy, 0.25f, 0x6F412FBDu},
        {"0.75", ModeCopy, 0.75f, 0xCE9B5245u},
        {"0.375 copy formula on all four", ModeCopy, 0.375f, 0x885839A1u},
        {"add", ModeAdd, 0.5f, 0xBF7850FFu},
        {"zero", ModeCopy, 0.0f, 0x40141EFBu},
    };
    for (const auto& c : cases) {
        for (bool vertical : {false, true}) {
            GuardedBitmap bmp(3, 3, 0x40141EFBu);
            if (vertical)
                DrawLine(&bmp, 1, 0, 1, 2, 0xFFC8640Bu, c.alpha, c.mode);
            else
                DrawLine(&bmp, 0, 1, 2, 1, 0xFFC8640Bu, c.alpha, c.mode);
            EXPECT_EQ(bmp.At(1, 1), c.expected) << c.what << std::hex << " got 0x" << bmp.At(1, 1);
            EXPECT_EQ(vertical ? bmp.At(1, 2) : bmp.At(2, 1), c.expected) << c.what;
            EXPECT_EQ(vertical ? bmp.At(0, 1) : bmp.At(1, 0), 0x40141EFBu) << c.what;
        }
    }
}

TEST(DrawLine, DiagonalPaintsThreeQuartersAndTwoQuarterNeighbours) {
    GuardedBitmap bmp(4, 4, kBlack);
    DrawLine(&bmp, 0, 0, 2, 2, kWhite, 1.0f, ModeCopy);
    // Shift-and-mask forms: alpha bytes become 0xFD as well.
    const RAST_Pixel heavy = 0xFDBEBEBEu, light = 0xFD3F3F3Fu;
    const RAST_Pixel expected[4][4] = {{heavy, light, kBlack, kBlack},
                                       {light, heavy, light, kBlack},
                                       {kBlack, light, heavy, kBlack},
                                       {kBlack, kBlack, kBlack, kBlack}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bmp.At(x, y), expected[y][x]) << x << "," << y;

    // At other alphas the integer weights a*3/4 and a/4 go through the copy formula; up-left travel.
    GuardedBitmap half(3, 3, kBlack);
    DrawLine(&half, 2, 2, 1, 1, kWhite, 0.5f, ModeCopy);
    ExpectGreys(half, {{-1, -1, -1}, {-1, 96, 32}, {-1, 32, 96}}, "diagonal at 0.5");
}

TEST(DrawLine, SmoothLineWalksFromBothEnds) {
    // n = 4, slope 0.25: ends full, then weights 191/64 from both fronts, then the middle pair 127/128.
    GuardedBitmap bmp(6, 2, kBlack);
    DrawLine(&bmp, 0, 0, 4, 1, kWhite, 1.0f, ModeCopy);
    ExpectGreys(bmp, {{255, 191, 127, 64, 0, -1}, {-1, 64, 128, 191, 255, -1}}, "shallow even");

    // Same line steep and reversed: the roles of the axes swap.
    GuardedBitmap steep(2, 6, kBlack);
    DrawLine(&steep, 1, 4, 0, 0, kWhite, 1.0f, ModeCopy);
    ExpectGreys(steep, {{255, -1}, {191, 64}, {128, 127}, {64, 191}, {-1, 255}, {-1, -1}}, "steep even");

    // n = 3, slope 1/3: one step from each front, no middle pair; at half alpha all weights halve.
    GuardedBitmap odd(4, 2, kBlack);
    DrawLine(&odd, 0, 0, 3, 1, kWhite, 0.5f, ModeCopy);
    ExpectGreys(odd, {{128, 85, 42, 0}, {-1, 42, 85, 128}}, "odd at half alpha");
}

TEST(DrawLine, ClipsAgainstEveryBorder) {
    struct {
        const char* what;
        int x1, y1, x2, y2;
        int painted; // expected number of changed pixels; -1 = some
    } cases[] = {
        {"both ends left", -5, 1, -1, 3, 0},
        {"both ends below", 1, 10, 6, 12, 0},
        {"across the row", -100, 2, 100, 2, 8},
        {"across the column", 3, INT_MIN, 3, INT_MAX, 8},
        {"extreme diagonal", INT_MIN, INT_MIN, INT_MAX, INT_MAX, -1},
        {"extreme shallow", INT_MIN, -3, INT_MAX, 9, -1},
        {"extreme steep", -7, INT_MAX, 12, INT_MIN, -1},
        {"misses a corner", -4, 2, 2, -4, 0},
    };
    for (const auto& c : cases) {
        GuardedBitmap bmp(8, 8, kBlack);
        DrawLine(&bmp, c.x1, c.y1, c.x2, c.y2, kWhite, 1.0f, ModeCopy);
        int changed = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                changed += bmp.At(x, y) != kBlack;
        if (c.painted >= 0)
            EXPECT_EQ(changed, c.painted) << c.what;
        else
            EXPECT_GT(changed, 0) << c.what;
        EXPECT_TRUE(bmp.GuardsIntact()) << c.what;
    }
}

TEST(DrawLine, ClippedEndsFollowTheBorderFormulas) {
    // (0,0)-(30,20) on 10x10: the far end moves to y = 9 at x = 0 + int(10 * 30 / 20) = 15, then to
    // x = 9 at y = 0 + int(10 * 9 / 15) = 6. The clipped line ends in a full-weight pixel at (9, 6).
    GuardedBitmap bmp(10, 10, kBlack);
    DrawLine(&bmp, 0, 0, 30, 20, kWhite, 1.0f, ModeCopy);
    EXPECT_EQ(bmp.At(9, 6), kWhite);
    EXPECT_EQ(bmp.At(0, 0), kWhite);
    EXPECT_EQ(bmp.At(9, 7), kBlack);
}

TEST(DrawLine, RandomLinesNeverLeaveTheBitmap) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> near(-40, 60);
    std::uniform_int_distribution<int> any(INT_MIN, INT_MAX);
    for (bool flipped : {false, true}) {
        GuardedBitmap bmp(17, 11, kBlack, flipped);
        for (int i = 0; i < 3000; ++i) {
            const bool wild = i % 5 == 0;
            const int x1 = wild ? any(rng) : near(rng), y1 = near(rng);
            const int x2 = near(rng), y2 = wild ? any(rng) : near(rng);
            DrawLine(&bmp, x1, y1, x2, y2, 0x80FFFFFFu, (i % 7) / 6.0f, i % 6);
        }
        EXPECT_TRUE(bmp.GuardsIntact());
    }
    DrawLine(nullptr, 0, 0, 1, 1, kWhite, 1.0f, ModeCopy);
}

TEST(DrawLine, SmoothLineWeightIsTheAccumulatorsHighByteTruncated) {
    // Slope 1/3 in 16.16: the accumulator runs 21845, 43690, 65535, ... Its weight is acc >> 8
    // (85, 170, 255): the second and third steps have low bytes of 170 and 255, where rounding
    // would give 171 and 256 instead.
    GuardedBitmap bmp(14, 5, kBlack);
    DrawLine(&bmp, 0, 0, 12, 4, kWhite, 1.0f, ModeCopy);
    ExpectGreys(bmp,
                {{255, 170, 85, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
                 {-1, 85, 170, 255, 170, 85, -1, -1, -1, -1, -1, -1, -1, -1},
                 {-1, -1, -1, -1, 85, 170, 255, 170, 85, -1, -1, -1, -1, -1},
                 {-1, -1, -1, -1, -1, -1, -1, 85, 170, 255, 170, 85, -1, -1},
                 {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 85, 170, 255, -1}},
                "slope 1/3");
}
