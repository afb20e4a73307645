#include "raster/mem_bitmap.h"
#include "raster/sys_bitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

TEST(MemBitmap, RowsAlignToFourPixelsAndBufferTo64Bytes) {
    RAST_MemBitmap bmp(5, 3);
    EXPECT_EQ(bmp.Width(), 5);
    EXPECT_EQ(bmp.Height(), 3);
    EXPECT_EQ(bmp.RowSpan(), 8);
    EXPECT_FALSE(bmp.IsFlipped());
    EXPECT_EQ(bmp.DrawingContext(), nullptr);
    EXPECT_EQ(bmp.Extended(7, nullptr), 0);
    ASSERT_NE(bmp.Bits(), nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bmp.Bits()) % 64, 0u);
    EXPECT_EQ(bmp.AllocatedBytes(), 3u * 8 * 4);
    // Every pixel of every row is writable (ASan watches).
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < bmp.RowSpan(); ++x)
            bmp.Row(y)[x] = 1;
}

TEST(MemBitmap, StartsEmptyGrowsByAQuarterAndNeverShrinks) {
    RAST_MemBitmap bmp;
    EXPECT_EQ(bmp.Width(), 0);
    EXPECT_EQ(bmp.Bits(), nullptr);
    EXPECT_FALSE(bmp.ResizeTo(0, 0));

    EXPECT_TRUE(bmp.ResizeTo(4, 4));
    EXPECT_EQ(bmp.AllocatedBytes(), 64u); // first allocation is exact

    EXPECT_TRUE(bmp.ResizeTo(10, 10)); // needs 10 x 12 x 4 = 480 bytes
    EXPECT_EQ(bmp.AllocatedBytes(), 600u);
    RAST_Pixel* bits = bmp.Bits();

    EXPECT_TRUE(bmp.ResizeTo(4, 4)); // smaller: same buffer
    EXPECT_EQ(bmp.Bits(), bits);
    EXPECT_EQ(bmp.AllocatedBytes(), 600u);
    EXPECT_EQ(bmp.RowSpan(), 4);
    EXPECT_FALSE(bmp.ResizeTo(4, 4));

    EXPECT_TRUE(bmp.ResizeTo(0, 7)); // any empty size frees
    EXPECT_EQ(bmp.Bits(), nullptr);
    EXPECT_EQ(bmp.Width(), 0);
    EXPECT_EQ(bmp.Height(), 0);
    EXPECT_EQ(bmp.AllocatedBytes(), 0u);
}

TEST(MemBitmap, HostileSizesLeaveItEmpty) {
    const int sizes[][2] = {{-5, 10}, {-4, -4}, {INT_MAX, INT_MAX}, {INT_MAX, 1}, {100000, 100000}};
    for (auto& s : sizes) {
        RAST_MemBitmap bmp(8, 8);
        bmp.ResizeTo(s[0], s[1]);
        EXPECT_EQ(bmp.Width(), 0) << s[0] << "x" << s[1];
        EXPECT_EQ(bmp.Height(), 0);
        EXPECT_EQ(bmp.Bits(), nullptr);
    }
}

TEST(MemBitmap, RowAlignmentIsConfigurable) {
    RAST_MemBitmap one(5, 2, 1);
    EXPECT_EQ(one.RowSpan(), 5);
    RAST_MemBitmap sixteen(5, 2, 16);
    EXPECT_EQ(sixteen.RowSpan(), 16);
}

TEST(SysBitmap, RowsTopDownSpanMultipleOfFourAllocationKeptWhenSmaller) {
    RAST_SysBitmap bmp(5, 3);
    EXPECT_EQ(bmp.Width(), 5);
    EXPECT_EQ(bmp.Height(), 3);
    EXPECT_EQ(bmp.RowSpan(), 8);
    EXPECT_FALSE(bmp.IsFlipped());
    ASSERT_NE(bmp.Bits(), nullptr);
#ifdef _WIN32
    EXPECT_NE(bmp.DrawingContext(), nullptr);
#else
    EXPECT_EQ(bmp.DrawingContext(), nullptr);
#endif
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            bmp.Row(y)[x] = 0xff000000u | (y << 8) | x;
    EXPECT_EQ(bmp.Row(2), bmp.Bits() + 16);

    RAST_Pixel* bits = bmp.Bits();
    EXPECT_FALSE(bmp.ResizeTo(5, 3));
    EXPECT_TRUE(bmp.ResizeTo(3, 2));
    EXPECT_EQ(bmp.Bits(), bits);
    EXPECT_EQ(bmp.RowSpan(), 8);

    // Wider than the allocation although the pixel count fits: new storage with a wider span.
    EXPECT_TRUE(bmp.ResizeTo(12, 1));
    EXPECT_EQ(bmp.RowSpan(), 12);
    for (int x = 0; x < 12; ++x)
        bmp.Row(0)[x] = 0;

    EXPECT_FALSE(bmp.ResizeTo(0, 4));
    EXPECT_EQ(bmp.Bits(), nullptr);
    EXPECT_EQ(bmp.Width(), 0);
    EXPECT_EQ(bmp.Height(), 0);
    EXPECT_TRUE(bmp.ResizeTo(730, 330));
    EXPECT_EQ(bmp.RowSpan(), 732);
}
