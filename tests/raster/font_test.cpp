#include "raster/blit.h"
#include "raster/cached_font.h"
#include "raster/glyph_combine.h"
#include "raster/mem_bitmap.h"
#include "raster/platform_font.h"
#include "raster/platform_text.h"
#include "raster/sys_bitmap.h"
#include "test_bitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr RAST_Pixel kBlack = 0xFF000000u;
constexpr RAST_Pixel kWhite = 0xFFFFFFFFu;
constexpr unsigned kCachedOnly = TextNoPlatformDrawing;

std::unique_ptr<RAST_CachedFont> MakeFont(int height = 12,
                                          int flags = FontOwnsPlatformFont | FontPreferPlatformText) {
    RAST_FontSpec request;
    request.face = "Verdana";
    request.height = height;
    RAST_FontHandle handle = CreatePlatformFont(request);
    if (!handle) return nullptr;
    auto font = std::make_unique<RAST_CachedFont>();
    font->SetFromPlatformFont(handle, flags);
    return font;
}

RAST_Rect Measure(RAST_CachedFont& font, const std::string& text, unsigned format = 0) {
    RAST_Rect r{10, 20, 10, 20};
    font.RenderText(nullptr, text.c_str(), static_cast<int>(text.size()), &r,
                    format | TextMeasureOnly | kCachedOnly);
    return r;
}

// Pixels of a that differ from b, with a's colour channels allowed to differ by `tolerance`.
int Differences(const RAST_IBitmap& a, const RAST_IBitmap& b, int tolerance, bool compareAlpha) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            const RAST_Pixel p = a.Row(y)[x], q = b.Row(y)[x];
            for (int c = 0; c < (compareAlpha ? 4 : 3); ++c) {
                const int d = static_cast<int>((p >> (8 * c)) & 255) - static_cast<int>((q >> (8 * c)) & 255);
                if (d > tolerance || d < -tolerance) {
                    ++n;
                    break;
                }
            }
        }
    return n;
}

void Fill(RAST_IBitmap& bmp, RAST_Pixel p) {
    FillRectangle(&bmp, 0, 0, bmp.Width(), bmp.Height(), p, 1.0f, ModeCopy);
}

} // namespace

TEST(GlyphCoverage, CombinesCoverageWithTheTextColour) {
    struct {
        const char* what;
        int mode, v, a;
        RAST_Pixel d, p, expected;
    } cases[] = {
        // colour P + (D - P) * (255 - v) / 256: 255 - 126 (not 127)
        {"copy half coverage", ModeCopy, 128, 256, kBlack, kWhite, 0xFF818181u},
        {"copy full coverage", ModeCopy, 255, 256, kBlack, kWhite, kWhite},
        {"copy faint coverage", ModeCopy, 1, 256, kBlack, kWhite, 0xFF020202u},
        // alpha 255 + trunc(127 * (0 - 255) / 256) = 255 - 126
        {"copy raises alpha", ModeCopy, 128, 256, 0x00000000u, kWhite, 0x81818181u},
        // g = 256 - 128 * 255 / 256 = 129
        {"copy at half alpha", ModeCopy, 255, 128, kBlack, kWhite, 0xFF7F7F7Fu},
        {"copy at half alpha raises alpha", ModeCopy, 255, 128, 0x00000000u, kWhite, 0x7F7F7F7Fu},
        // f = v + 1 = 128: (128 * 128 + 128 * 256) * 200 >> 16; alpha (65535 - 127) * 255 >> 16
        {"multiply", ModeMultiply, 127, 256, 0xFFC8C8C8u, 0xFF808080u, 0xFE969696u},
        {"multiply at half alpha", ModeMultiply, 255, 128, 0xFFC8C8C8u, 0xFF808080u, 0xFE969696u},
        // add with weight v + 1 on all four channels
        {"add", ModeAdd, 127, 256, 0x10101010u, 0x80402010u, 0x50302018u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rast::CombineCoverage(c.mode, c.d, c.p, c.v, c.a), c.expected)
            << c.what << std::hex << " got 0x" << rast::CombineCoverage(c.mode, c.d, c.p, c.v, c.a);
}

class CachedFontTest : public ::testing::Test {
  protected:
    void SetUp() override {
        font = MakeFont();
        ASSERT_NE(font, nullptr) << "no platform font for Verdana";
        ASSERT_GT(font->LineHeight(), 8);
    }
    std::unique_ptr<RAST_CachedFont> font;
};

TEST_F(CachedFontTest, GlyphsAreRenderedOnceWithTrimmedCoverage) {
    const auto* g = font->GlyphFor('W');
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->code, static_cast<uint32_t>('W'));
    EXPECT_GT(g->advance, 0);
    EXPECT_EQ(g->height, font->LineHeight());
    // At least the advance plus its left margin is kept; ink left of the margin widens it.
    EXPECT_GE(g->width - g->leftOffset, g->advance);
    EXPECT_GE(g->leftOffset, 0);
    EXPECT_EQ(font->GlyphFor('W'), g);
    int inked = 0;
    for (int i = 0; i < g->width * g->height; ++i)
        inked += font->Coverage(*g)[i] != 0;
    EXPECT_GT(inked, 5);
    // A space has an advance but no ink.
    const auto* space = font->GlyphFor(' ');
    ASSERT_NE(space, nullptr);
    EXPECT_GT(space->advance, 0);
    for (int i = 0; i < space->width * space->height; ++i)
        EXPECT_EQ(font->Coverage(*space)[i], 0);
}

TEST_F(CachedFontTest, MeasuresLinesFromAdvancesAndInk) {
    const auto* h = font->GlyphFor('H');
    const auto* i = font->GlyphFor('i');
    ASSERT_TRUE(h && i);
    const int lh = font->LineHeight();

    RAST_Rect r = Measure(*font, "Hi");
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 10 + std::max(h->advance + i->advance, h->advance + i->width - i->leftOffset));
    EXPECT_EQ(r.bottom, 20 + lh);

    RAST_Rect far{INT_MAX - 3, INT_MAX - 1, 0, 0};
    font->RenderText(nullptr, "Hi", -1, &far, TextMeasureOnly | kCachedOnly);
    EXPECT_EQ(far.right, INT_MAX);
    EXPECT_EQ(far.bottom, INT_MAX);

    const RAST_Rect empty = Measure(*font, "");
    EXPECT_EQ(empty.right, 10);
    EXPECT_EQ(empty.bottom, 20);

    // A line feed starts a line (and a carriage return is skipped) unless the text is single-line.
    const RAST_Rect two = Measure(*font, "Hi\r\nH");
    EXPECT_EQ(two.bottom - two.top, 2 * lh);
    EXPECT_EQ(two.right, r.right);
    const RAST_Rect one = Measure(*font, "Hi\nH", TextSingleLine);
    const RAST_Rect spaced = Measure(*font, "Hi H");
    EXPECT_EQ(one.right, spaced.right);
    EXPECT_EQ(one.bottom - one.top, lh);
}

TEST_F(CachedFontTest, InvalidUtf8AndUnusualCodePointsAreSafe) {
    // A stray byte is taken as its 8-bit character.
    EXPECT_EQ(Measure(*font, "caf\xE9").right, Measure(*font, "caf\xC3\xA9").right);
    const std::string hostile[] = {"\xF0\x9F\x98\x80 face", "\xED\xA0\x80", "\xC0\xAF\xFF\xFE",
                                   std::string("a\0b", 3), "\xF4\x8F\xBF\xBF"};
    GuardedBitmap bmp(40, 20, kBlack);
    font->SetTextColour(kWhite);
    for (const auto& text : hostile) {
        RAST_Rect r{0, 0, 40, 20};
        font->RenderText(&bmp, text.data(), static_cast<int>(text.size()), &r, kCachedOnly);
        RAST_Rect m{0, 0, 0, 0};
        font->RenderText(nullptr, text.data(), static_cast<int>(text.size()), &m,
                         TextMeasureOnly | kCachedOnly);
        EXPECT_GE(m.right, 0);
    }
    EXPECT_TRUE(bmp.GuardsIntact());
}

TEST_F(CachedFontTest, DrawnPixelsFollowTheCoverageFormulas) {
    const auto* g = font->GlyphFor('A');
    ASSERT_NE(g, nullptr);
    const int x0 = 5, y0 = 3;
    for (unsigned alphaByte : {255u, 128u}) {
        RAST_MemBitmap bmp(40, 30);
        Fill(bmp, 0xFF204060u);
        const RAST_Pixel colour = (alphaByte << 24) | 0xE0C0A0u;
        font->SetTextColour(colour);
        RAST_Rect r{x0, y0, 40, 30};
        const unsigned format = kCachedOnly | (alphaByte < 255 ? unsigned(TextUseColourAlpha) : 0u);
        EXPECT_EQ(font->RenderText(&bmp, "A", 1, &r, format), font->LineHeight());
        // 1.0 x 128 / 255 truncates to weight 128.
        const int a = alphaByte == 255 ? 256 : 128;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const int cx = x - (x0 - g->leftOffset), cy = y - y0;
                int v = 0;
                if (cx >= 0 && cx < g->width && cy >= 0 && cy < g->height)
                    v = font->Coverage(*g)[cy * g->width + cx];
                const RAST_Pixel expected =
                    v ? rast::CombineCoverage(ModeCopy, 0xFF204060u, colour, v, a) : 0xFF204060u;
                ASSERT_EQ(bmp.Row(y)[x], expected) << x << "," << y << " alpha " << alphaByte;
            }
    }
}

TEST_F(CachedFontTest, AlignmentPlacesTheMeasuredBox) {
    const RAST_Rect size = Measure(*font, "Ag");
    const int w = size.right - size.left, h = size.bottom - size.top;
    font->SetTextColour(kWhite);
    auto draw = [&](RAST_Rect r, unsigned format) {
        auto bmp = std::make_unique<RAST_MemBitmap>(80, 60);
        Fill(*bmp, kBlack);
        font->RenderText(bmp.get(), "Ag", -1, &r, format | kCachedOnly);
        return bmp;
    };
    const RAST_Rect area{3, 4, 70, 50};
    struct {
        unsigned format;
        int dx, dy;
    } cases[] = {
        {TextLeft, 3, 4},
        {TextCentre, 3 + (70 - w - 3) / 2, 4},
        {TextRight, 70 - w, 4},
        {TextVCentre, 3, 4 + (50 - h - 4) / 2},
        {TextBottom | TextRight, 70 - w, 50 - h},
    };
    for (const auto& c : cases) {
        auto got = draw(area, c.format);
        auto want = draw(RAST_Rect{c.dx, c.dy, 80, 60}, TextLeft);
        EXPECT_EQ(Differences(*got, *want, 0, true), 0) << "format " << c.format;
    }
}

TEST_F(CachedFontTest, ClipsToTheRectAndTheBitmap) {
    font->SetTextColour(kWhite);
    GuardedBitmap bmp(30, 16, kBlack);
    const int offsets[][2] = {
        {-7, -5}, {25, 10}, {INT_MIN / 2, 0}, {INT_MAX - 10, INT_MAX - 10}, {0, INT_MIN}};
    for (auto& o : offsets) {
        RAST_Rect r{o[0], o[1], o[0] > INT_MAX - 1000 ? INT_MAX : o[0] + 1000,
                    o[1] > INT_MAX - 1000 ? INT_MAX : o[1] + 1000};
        font->RenderText(&bmp, "Wide text here", -1, &r, kCachedOnly);
    }
    EXPECT_TRUE(bmp.GuardsIntact());

    // Nothing lands outside the rect.
    GuardedBitmap clipped(30, 16, kBlack);
    RAST_Rect r{2, 2, 9, 8};
    font->RenderText(&clipped, "WWW", -1, &r, kCachedOnly);
    int inside = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool in = x >= 2 && x < 9 && y >= 2 && y < 8;
            if (!in) {
                EXPECT_EQ(clipped.At(x, y), kBlack) << x << "," << y;
            }
            inside += in && clipped.At(x, y) != kBlack;
        }
    EXPECT_GT(inside, 0);
}

TEST_F(CachedFontTest, OpaqueBackgroundFillsEachGlyphBox) {
    font->SetTextColour(kWhite);
    font->SetBackColour(0xFF0000FFu);
    EXPECT_EQ(font->SetBackMode(BackOpaque), BackTransparent);
    RAST_MemBitmap bmp(40, 20);
    Fill(bmp, kBlack);
    RAST_Rect r{0, 0, 40, 20};
    font->RenderText(&bmp, ".", 1, &r, kCachedOnly);
    const auto* g = font->GlyphFor('.');
    ASSERT_NE(g, nullptr);
    // Top-left of the box carries no ink of a full stop: pure background.
    EXPECT_EQ(bmp.Row(0)[0], 0xFF0000FFu);
    EXPECT_EQ(bmp.Row(0)[g->width], kBlack);
}

TEST_F(CachedFontTest, ZeroAlphaAndMissingBitmapDrawNothing) {
    RAST_MemBitmap bmp(20, 20);
    Fill(bmp, kBlack);
    RAST_Rect r{0, 0, 20, 20};
    font->SetTextColour(0x00FFFFFFu);
    EXPECT_EQ(font->RenderText(&bmp, "X", 1, &r, TextUseColourAlpha), 0);
    font->SetTextColour(kWhite);
    font->SetCombineMode(ModeCopy, 0.0f);
    EXPECT_EQ(font->RenderText(&bmp, "X", 1, &r, kCachedOnly), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(bmp.Row(y)[x], kBlack);
    EXPECT_EQ(font->RenderText(nullptr, "X", 1, &r, 0), 0);
    EXPECT_EQ(font->RenderText(&bmp, nullptr, 1, &r, 0), 0);
    EXPECT_EQ(font->RenderText(&bmp, "X", 1, nullptr, 0), 0);
    EXPECT_FALSE(font->DrawGlyph(nullptr, 'X', 0, 0, nullptr));
}

TEST(CachedFont, AsciiOnlyFontsRenderTheirGlyphsUpFrontAndNoOthers) {
    auto font = MakeFont(12, FontOwnsPlatformFont | FontAsciiOnly);
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font->GlyphFor('a'), nullptr);
    EXPECT_EQ(font->GlyphFor(0xE9), nullptr);
    EXPECT_EQ(Measure(*font, "\xC3\xA9").right, 10);
}

TEST(CachedFont, SharedSurfacesLiveWithTheFonts) {
    const int before = RAST_CachedFont::LiveFonts();
    {
        auto a = MakeFont();
        auto b = MakeFont(20);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(RAST_CachedFont::LiveFonts(), before + 2);
        // Replacing an owned platform font deletes the old one (the leak checker watches).
        RAST_FontSpec request;
        b->SetFromPlatformFont(CreatePlatformFont(request), FontOwnsPlatformFont);
        EXPECT_GT(b->LineHeight(), 0);
    }
    EXPECT_EQ(RAST_CachedFont::LiveFonts(), before);
    RAST_CachedFont empty;
    EXPECT_EQ(empty.LineHeight(), 0);
    EXPECT_EQ(empty.GlyphFor('a'), nullptr);
    RAST_Rect r{0, 0, 0, 0};
    EXPECT_EQ(empty.RenderText(nullptr, "abc", -1, &r, TextMeasureOnly), 0);
}

TEST(CachedFont, VeryTallFontsDoNotRenderGlyphs) {
    auto font = MakeFont(1100);
    ASSERT_NE(font, nullptr);
    EXPECT_GT(font->LineHeight(), 1023);
    EXPECT_EQ(font->GlyphFor('a'), nullptr);
}

#ifdef _WIN32
// The platform's own drawing is used on Windows proper; under Wine every text takes the cached path
// unless a test pretends otherwise.
class PlatformTextTest : public CachedFontTest {
  protected:
    void TearDown() override { rast::OverrideWineDetection(-1); }
};

TEST_F(PlatformTextTest, PlatformAndCachedPathsDrawTheSameText) {
    rast::OverrideWineDetection(0);
    font->SetTextColour(kWhite);
    const char* text = "Hello, caf\xC3\xA9";
    RAST_SysBitmap native(120, 24), cached(120, 24);
    RAST_MemBitmap memory(120, 24);
    for (RAST_IBitmap* b : {static_cast<RAST_IBitmap*>(&native), static_cast<RAST_IBitmap*>(&cached),
                            static_cast<RAST_IBitmap*>(&memory)})
        Fill(*b, kBlack);
    RAST_Rect r{4, 3, 120, 24};
    font->RenderText(&native, text, -1, &r, TextNoClip);
    font->RenderText(&memory, text, -1, &r, TextNoClip);
    font->RenderText(&cached, text, -1, &r, TextNoClip | kCachedOnly);

    int inked = 0, platformAlphaZero = 0, cachedOpaque = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 120; ++x) {
            if ((native.Row(y)[x] & 0xFFFFFF) == 0) continue;
            ++inked;
            platformAlphaZero += (native.Row(y)[x] >> 24) == 0; // the platform writes alpha 0
            cachedOpaque += (cached.Row(y)[x] >> 24) == 255;
        }
    EXPECT_GT(inked, 20);
    EXPECT_EQ(platformAlphaZero, inked);
    EXPECT_EQ(cachedOpaque, inked);
    // Same coverage, so colours agree to the rounding of the coverage formula.
    EXPECT_EQ(Differences(native, cached, 1, false), 0);
    // A bitmap without a drawing context gets the platform's pixels through the scratch surface.
    EXPECT_EQ(Differences(native, memory, 0, true), 0);

    RAST_Rect platformSize{0, 0, 0, 0}, cachedSize{0, 0, 0, 0};
    font->RenderText(&native, text, -1, &platformSize, TextMeasureOnly);
    font->RenderText(&native, text, -1, &cachedSize, TextMeasureOnly | kCachedOnly);
    EXPECT_NEAR(platformSize.right, cachedSize.right, 2);
    EXPECT_EQ(platformSize.bottom, cachedSize.bottom);
}

TEST_F(PlatformTextTest, PlatformDrawingOnPlainMemoryStaysInside) {
    rast::OverrideWineDetection(0);
    font->SetTextColour(kWhite);
    GuardedBitmap bmp(30, 16, kBlack);
    const RAST_Rect rects[] = {{-7, -5, 20, 10},
                               {25, 10, 60, 40},
                               {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                               {INT_MAX - 5, 0, INT_MAX, 9},
                               {0, 0, -40, -40}};
    for (unsigned format :
         {0u, unsigned(TextCentre | TextVCentre), unsigned(TextRight | TextBottom | TextNoClip)})
        for (RAST_Rect r : rects)
            font->RenderText(&bmp, "Wide text", -1, &r, format);
    EXPECT_TRUE(bmp.GuardsIntact());
}

TEST_F(PlatformTextTest, TranslucentTextAndWineTakeTheCachedPath) {
    font->SetTextColour(kWhite);
    auto inkedAlpha = [&](unsigned format) {
        RAST_SysBitmap bmp(60, 20);
        Fill(bmp, kBlack);
        RAST_Rect r{0, 0, 60, 20};
        font->RenderText(&bmp, "Wm", -1, &r, format);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 60; ++x)
                if (bmp.Row(y)[x] & 0xFFFFFF) return static_cast<int>(bmp.Row(y)[x] >> 24);
        return -1;
    };
    rast::OverrideWineDetection(0);
    EXPECT_EQ(inkedAlpha(0), 0);
    font->SetTextColour(0x80FFFFFFu);
    EXPECT_EQ(inkedAlpha(TextUseColourAlpha), 255);
    font->SetTextColour(kWhite);
    rast::OverrideWineDetection(1);
    EXPECT_EQ(inkedAlpha(0), 255);
}
#endif
