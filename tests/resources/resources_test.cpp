// The resources this program carries the way the plug-in module does: found by (type, id), decoded,
// and drawn where the editor's controls expect them.

#include "platform/resources.h"
#include "raster/png_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bitmap = std::unique_ptr<RAST_MemBitmap>;

struct Rgba {
    int r, g, b, a;
};
Rgba At(const RAST_MemBitmap& bitmap, int x, int y) {
    const RAST_Pixel p = bitmap.Row(y)[x];
    return {int(p >> 16 & 255), int(p >> 8 & 255), int(p & 255), int(p >> 24)};
}
bool Is(const Rgba& p, int r, int g, int b) {
    return p.r == r && p.g == g && p.b == b && p.a == 255;
}
bool IsFace(const Rgba& p) {
    return Is(p, 100, 100, 100);
}
// The selection marks are cyan: much more blue than red.
bool IsMarked(const Rgba& p) {
    return p.a > 200 && p.b > p.r + 80;
}

Bitmap LoadImage(int id) {
    return Bitmap(LoadPngResource(id));
}

std::string Text(int id) {
    const ResourceBytes bytes = FindModuleResource("BIN", id);
    return bytes.data ? std::string(reinterpret_cast<const char*>(bytes.data), bytes.size) : std::string();
}

TEST(ModuleResources, EveryEditorImageDecodesAtItsSize) {
    struct Image {
        int id, width, height;
    };
    const Image images[] = {{101, 730, 330}, {102, 12, 12},   {103, 55, 66},
                            {104, 22, 32},   {106, 220, 187}, {107, 225, 609}};
    for (const Image& image : images) {
        SCOPED_TRACE(image.id);
        const ResourceBytes bytes = FindModuleResource("PNG", image.id);
        ASSERT_NE(bytes.data, nullptr);
        Bitmap bitmap(LoadPngFromMemory(bytes.data, bytes.size));
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->Width(), image.width);
        EXPECT_EQ(bitmap->Height(), image.height);
    }
}

TEST(ModuleResources, LookupKeepsTypesAndIdsApart) {
    EXPECT_EQ(FindModuleResource("PNG", 105).data, nullptr);
    EXPECT_EQ(FindModuleResource("PNG", 200).data, nullptr);
    EXPECT_EQ(FindModuleResource("BIN", 101).data, nullptr);
    EXPECT_EQ(FindModuleResource("BIN", 208).size, 0u);
    EXPECT_EQ(FindModuleResource(nullptr, 101).data, nullptr);
}

// Grid columns lie on the first pixel column right of each frequency's place in the display.
int GridColumn(double hertz) {
    return int(std::floor(49.0 + 437.0 * std::log10(hertz / 20.0) / 3.0)) + 1;
}

TEST(ModuleResources, BackgroundDisplayAreaIsBlackWithTheGrid) {
    Bitmap bg = LoadImage(101);
    ASSERT_NE(bg, nullptr);
    ASSERT_EQ(bg->Width(), 730);
    EXPECT_EQ(GridColumn(100), 151);
    EXPECT_EQ(GridColumn(1000), 297);
    EXPECT_EQ(GridColumn(10000), 443);

    std::vector<bool> gridColumn(730, false), gridRow(330, false);
    for (double decade : {10.0, 100.0, 1000.0})
        for (int step = decade == 10.0 ? 3 : 1; step <= 9; ++step)
            gridColumn[size_t(GridColumn(decade * step))] = true;
    gridColumn[size_t(GridColumn(10000))] = true;
    for (int row : {47, 84, 121, 158, 195, 232, 269})
        gridRow[size_t(row)] = true;

    // Every pixel of the display is either black or grid grey: nothing else may show behind the
    // curves, the calibration label or the progress strip.
    int wrong = 0;
    for (int y = 11; y <= 305; ++y)
        for (int x = 49; x <= 486; ++x) {
            const bool grid = gridRow[size_t(y)] || gridColumn[size_t(x)];
            const Rgba p = At(*bg, x, y);
            if (!(grid ? Is(p, 100, 100, 100) : Is(p, 0, 0, 0))) {
                if (wrong++ < 5) ADD_FAILURE() << "display pixel " << x << "," << y;
            }
        }
    EXPECT_EQ(wrong, 0);
}

TEST(ModuleResources, BackgroundFaceAndButtonFaces) {
    Bitmap bg = LoadImage(101);
    ASSERT_NE(bg, nullptr);
    // Empty parts of the face: corners, the gap between the panel groups, beside the display.
    for (auto [x, y] : {std::pair{2, 2}, {727, 2}, {2, 327}, {727, 327}, {600, 152}, {495, 150}, {720, 250}})
        EXPECT_TRUE(IsFace(At(*bg, x, y))) << x << "," << y;

    // Each button rectangle carries a drawn face, not the bare panel.
    struct Rect {
        int left, top, right, bottom;
    };
    const Rect buttons[] = {{521, 290, 577, 311}, {585, 290, 641, 311}, {649, 290, 705, 311},
                            {521, 49, 577, 70},   {585, 49, 641, 70},   {648, 49, 705, 70}};
    for (const Rect& r : buttons) {
        int face = 0, total = 0;
        for (int y = r.top + 1; y < r.bottom - 1; ++y)
            for (int x = r.left + 1; x < r.right - 1; ++x, ++total)
                face += IsFace(At(*bg, x, y));
        EXPECT_LT(face * 10, total) << "button at " << r.left << "," << r.top;
    }
    // The Start button's play mark is green.
    int green = 0;
    for (int y = 290; y < 311; ++y)
        for (int x = 521; x < 577; ++x) {
            const Rgba p = At(*bg, x, y);
            green += p.g > p.r + 80 && p.g > p.b + 40;
        }
    EXPECT_GT(green, 10);

    // The fader's track is a darker groove across the whole travel.
    for (int x = 621; x < 705; ++x) {
        const Rgba p = At(*bg, x, 196);
        EXPECT_LT(p.r + p.g + p.b, 3 * 100) << x;
    }
}

TEST(ModuleResources, SelectorFramesMarkWhatTheControlsMean) {
    Bitmap inputs = LoadImage(103);
    ASSERT_NE(inputs, nullptr);
    // Rows of L and R marks: frame 0 is the reference on L and the target on R; frame 1 swaps them.
    const int rowMiddle[] = {8, 25};
    for (int frame = 0; frame < 2; ++frame)
        for (int row = 0; row < 2; ++row) {
            const int y = frame * 33 + rowMiddle[row];
            const bool leftMarked = (row == 0) == (frame == 0);
            EXPECT_EQ(IsMarked(At(*inputs, 9, y)), leftMarked) << frame << "/" << row;
            EXPECT_EQ(IsMarked(At(*inputs, 34, y)), !leftMarked) << frame << "/" << row;
        }

    Bitmap radio = LoadImage(104);
    ASSERT_NE(radio, nullptr);
    EXPECT_FALSE(IsMarked(At(*radio, 10, 8)));
    EXPECT_TRUE(IsMarked(At(*radio, 10, 16 + 8)));
    // The mark sits on the panel: its corners stay transparent.
    EXPECT_EQ(At(*radio, 0, 0).a, 0);
    EXPECT_EQ(At(*radio, 21, 31).a, 0);

    Bitmap fader = LoadImage(102);
    ASSERT_NE(fader, nullptr);
    EXPECT_EQ(At(*fader, 0, 0).a, 0);
    EXPECT_EQ(At(*fader, 11, 11).a, 0);
    EXPECT_EQ(At(*fader, 6, 6).a, 255);
}

TEST(ModuleResources, ProgressBarGrowsFrameByFrame) {
    Bitmap strip = LoadImage(107);
    ASSERT_NE(strip, nullptr);
    auto greenPixels = [&](int frame) {
        int count = 0;
        const int y = frame * 29 + 20; // the bar's row
        for (int x = 0; x < 225; ++x) {
            const Rgba p = At(*strip, x, y);
            count += p.g > p.r + 60 && p.g > p.b + 30;
        }
        return count;
    };
    EXPECT_EQ(greenPixels(0), 0);
    for (int frame = 1; frame < 20; ++frame)
        EXPECT_GT(greenPixels(frame), greenPixels(frame - 1)) << frame;
    EXPECT_GT(greenPixels(19), 180);
}

TEST(ModuleResources, AboutBoxLeavesRoomForTheWhiteVersionNumber) {
    Bitmap about = LoadImage(106);
    ASSERT_NE(about, nullptr);
    // The number's rectangle starts at (117, 31); its 16-pixel text reaches below the rectangle.
    for (int y = 31; y < 47; ++y)
        for (int x = 117; x < 160; ++x) {
            const Rgba p = At(*about, x, y);
            ASSERT_EQ(p.a, 255) << x << "," << y;
            ASSERT_LT(p.r + p.g + p.b, 3 * 110) << x << "," << y;
        }
    // A raised OK face where the box's OK button lies.
    int lighter = 0;
    for (int x = 33; x < 102; ++x)
        lighter += At(*about, x, 148).r > At(*about, x, 130).r + 30;
    EXPECT_GT(lighter, 50);
}

TEST(ModuleResources, HelpPagesLinkTheirFilesByName) {
    for (int id = 200; id <= 207; ++id) {
        const ResourceBytes bytes = FindModuleResource("BIN", id);
        EXPECT_NE(bytes.data, nullptr) << id;
        EXPECT_GT(bytes.size, 100u) << id;
    }
    for (int id : {200, 201, 202}) {
        const std::string page = Text(id);
        SCOPED_TRACE(id);
        EXPECT_NE(page.find("href=\"style.css\""), std::string::npos);
        for (const char* other : {"1.htm", "2.htm", "3.htm"})
            EXPECT_NE(page.find(std::string("href=\"") + other + "\""), std::string::npos) << other;
    }
    EXPECT_NE(Text(203).find("body"), std::string::npos);
    const std::string pictures = Text(201);
    for (int id = 204; id <= 207; ++id) {
        const std::string name = "m" + std::to_string(id - 203) + ".png";
        EXPECT_NE(pictures.find("src=\"" + name + "\""), std::string::npos) << name;
        const ResourceBytes bytes = FindModuleResource("BIN", id);
        Bitmap picture(LoadPngFromMemory(bytes.data, bytes.size));
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_EQ(picture->Width(), 730);
        EXPECT_EQ(picture->Height(), 330);
    }
}

} // namespace
