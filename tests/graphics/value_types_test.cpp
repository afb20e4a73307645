#include "graphics/argb_color.h"
#include "graphics/blend_spec.h"
#include "graphics/image_strip.h"
#include "graphics/key_codes.h"
#include "graphics/menu_list.h"
#include "graphics/mouse_mods.h"
#include "graphics/pixel_rect.h"
#include "graphics/text_style.h"
#include "raster/blit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(PixelRect, OnlyTheAllZeroRectangleIsEmpty) {
    EXPECT_TRUE(IPixelRect().Empty());
    EXPECT_FALSE(IPixelRect(5, 5, 5, 5).Empty());
    EXPECT_FALSE(IPixelRect(0, 0, 0, 1).Empty());
}

TEST(PixelRect, ContainsExcludesRightAndBottom) {
    IPixelRect r(10, 20, 30, 40);
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(29, 39));
    EXPECT_FALSE(r.Contains(30, 39));
    EXPECT_FALSE(r.Contains(29, 40));
    EXPECT_FALSE(r.Contains(9, 20));
    EXPECT_FALSE(IPixelRect().Contains(0, 0));
}

TEST(PixelRect, MeetsComparesRightAndBottomInclusively) {
    struct Case {
        IPixelRect a, b;
        bool meets;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, true},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, true},  // touches a's right edge: A.right >= B.left
        {{10, 0, 20, 10}, {0, 0, 10, 10}, false}, // the mirror case: A.left < B.right fails
        {{0, 0, 10, 10}, {0, 10, 10, 20}, true},
        {{0, 10, 10, 20}, {0, 0, 10, 10}, false},
        {{0, 0, 10, 10}, {11, 0, 20, 10}, false},
        {{5, 5, 5, 5}, {0, 0, 10, 10}, true},
        {{}, {0, 0, 10, 10}, false},
        {{0, 0, 10, 10}, {}, false},
        {{}, {}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.a.Meets(c.b), c.meets)
            << c.a.left << "," << c.a.top << " vs " << c.b.left << "," << c.b.top;
}

TEST(PixelRect, UnionSkipsEmptyAndIntersectionTakesInnerEdges) {
    IPixelRect a(0, 0, 10, 10), b(5, -5, 20, 8);
    EXPECT_EQ(a.Union(IPixelRect()), a);
    EXPECT_EQ(IPixelRect().Union(b), b);
    EXPECT_EQ(a.Union(b), IPixelRect(0, -5, 20, 10));
    EXPECT_EQ(a.Intersection(b), IPixelRect(5, 0, 10, 8));
}

TEST(ValueTypes, ColourPixelAndDefaults) {
    EXPECT_EQ(IArgbColor(0x12, 0x34, 0x56, 0x78).ToPixel(), 0x12345678u);
    EXPECT_EQ(IArgbColor(255, 220, 220, 220).ToPixel(), 0xffdcdcdcu);

    ITextStyle s;
    EXPECT_STREQ(s.faceName, "Verdana");
    EXPECT_EQ(s.size, 12);
    EXPECT_EQ(s.textColour, IArgbColor(255, 0, 0, 0));
    EXPECT_EQ(s.entryBackColour, IArgbColor(255, 255, 255, 255));
    EXPECT_EQ(s.entryTextColour, IArgbColor(255, 0, 0, 0));
    EXPECT_EQ(s.style, ITextStyle::kNormal);
    EXPECT_EQ(s.alignment, ITextStyle::kCentre);
    EXPECT_EQ(s.orientation, 0);
    EXPECT_EQ(s.quality, ITextStyle::kDefaultQuality);
    EXPECT_EQ(s.cachedFont, nullptr);

    ITextStyle longFace("A face name far longer than thirty-one characters", 16, {});
    EXPECT_EQ(std::strlen(longFace.faceName), 31u);
}

TEST(ValueTypes, BlendMethodsMapToBlitModes) {
    struct Case {
        int method;
        int mode;
    } cases[] = {
        {0, ModeCopy | UseSourceAlpha}, {1, ModeCopy},
        {2, ModeAdd | UseSourceAlpha},  {3, ModeDodge | UseSourceAlpha},
        {7, ModeCopy | UseSourceAlpha}, {-1, ModeCopy | UseSourceAlpha},
    };
    for (const Case& c : cases) {
        IBlendSpec b;
        b.method = c.method;
        EXPECT_EQ(b.BlitMode(), c.mode) << c.method;
    }
    EXPECT_EQ(IBlendSpec().weight, 1.0f);
}

TEST(ValueTypes, StripFrameSizes) {
    IImageStrip vertical{nullptr, 225, 609, 21, false};
    EXPECT_EQ(vertical.FrameWidth(), 225);
    EXPECT_EQ(vertical.FrameHeight(), 29);
    IImageStrip horizontal{nullptr, 60, 10, 3, true};
    EXPECT_EQ(horizontal.FrameWidth(), 20);
    EXPECT_EQ(horizontal.FrameHeight(), 10);
    IImageStrip zeroFrames{nullptr, 10, 10, 0, false};
    EXPECT_EQ(zeroFrames.FrameHeight(), 10);
}

TEST(KeyCodes, VirtualKeysMapToControlCodes) {
    struct Case {
        int vk, code;
    } cases[] = {{32, 0},   {38, 1},   {40, 2},   {37, 3},  {39, 4},  {'0', 5}, {'9', 14}, {'A', 15},
                 {'Z', 40}, {'a', 15}, {'z', 40}, {13, -1}, {27, -1}, {36, -1}, {41, -1},  {'[', -1}};
    for (const Case& c : cases)
        EXPECT_EQ(ControlKeyForVirtualKey(c.vk), c.code) << c.vk;
}

TEST(WheelSteps, WholeNotchesOnly) {
    struct Case {
        int delta, steps;
    } cases[] = {{120, 1}, {-240, -2}, {60, 0}, {-360, -3}, {100, 0}, {-119, 0}, {0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(WheelStepsForDelta(c.delta), c.steps) << c.delta;
}

TEST(WheelSteps, TouchpadFractionsAddUpToSteps) {
    struct Case {
        const char* what;
        std::vector<int> deltas;
        std::vector<int> steps;
    } cases[] = {
        {"notches", {120, -240}, {1, -2}},
        {"quarters", {30, 30, 30, 30, 30}, {0, 0, 0, 1, 0}},
        {"beyond a notch", {100, 100, 100, 50}, {0, 1, 1, 0}},
        {"turned back", {90, -30, -30, -60}, {0, 0, 0, -1}},
        {"one large", {-390}, {-3}},
    };
    for (const Case& c : cases) {
        WheelAccumulator wheel;
        for (std::size_t i = 0; i < c.deltas.size(); ++i)
            EXPECT_EQ(wheel.Add(c.deltas[i]), c.steps[i]) << c.what << ", delta " << i;
    }
}

TEST(MenuList, NumberingPrefixesFormatThePosition) {
    IMenuList m;
    m.AddEntry("First");
    m.AddEntry("Second");
    const char* expected[][2] = {{"First", "Second"},
                                 {"1: First", "2: Second"},
                                 {"01: First", "02: Second"},
                                 {"001: First", "002: Second"}};
    for (int prefix = 0; prefix < 4; ++prefix) {
        m.numberingPrefix = prefix;
        EXPECT_EQ(m.EntryCaption(0), expected[prefix][0]);
        EXPECT_EQ(m.EntryCaption(1), expected[prefix][1]);
    }
    EXPECT_EQ(m.EntryCaption(2), "");
    EXPECT_EQ(m.EntryCaption(-1), "");
}

TEST(MenuList, CommandNumbersRunDepthFirstOverSubmenus) {
    // Four top entries take 0 to 3; the first submenu 4 to 6; the second submenu 7 and 8.
    IMenuList top;
    auto first = std::make_unique<IMenuList>();
    for (const char* t : {"a", "b", "c"})
        first->AddEntry(t);
    auto second = std::make_unique<IMenuList>();
    for (const char* t : {"x", "y"})
        second->AddEntry(t);
    IMenuList* firstPtr = first.get();
    IMenuList* secondPtr = second.get();
    top.AddEntry("one", 0, std::move(first));
    top.AddEntry("two");
    top.AddEntry("three", 0, std::move(second));
    top.AddEntry("four");

    EXPECT_EQ(top.CommandCount(), 9);
    EXPECT_EQ(top.ChooseByCommand(6), firstPtr);
    EXPECT_EQ(firstPtr->chosenIndex, 2);
    EXPECT_EQ(top.ChooseByCommand(8), secondPtr);
    EXPECT_EQ(secondPtr->chosenIndex, 1);
    EXPECT_EQ(top.ChooseByCommand(3), &top);
    EXPECT_EQ(top.chosenIndex, 3);
    EXPECT_EQ(top.ChooseByCommand(9), nullptr);
    EXPECT_EQ(top.ChooseByCommand(-1), nullptr);
    EXPECT_EQ(top.CommandOf(secondPtr, 0), 7);
    EXPECT_EQ(top.CommandOf(&top, 0), 0);
}
