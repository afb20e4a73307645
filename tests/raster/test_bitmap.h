#pragma once

#include "raster/bitmap.h"

#include <gtest/gtest.h>

#include <vector>

// Bitmap surrounded by guard pixels (two columns each side, one row above and below) so a test can
// prove a primitive never wrote outside the image. Optionally stored bottom-up.
class GuardedBitmap : public RAST_IBitmap {
  public:
    static constexpr RAST_Pixel kGuard = 0x5A5A5A5Au;

    GuardedBitmap(int w, int h, RAST_Pixel fill, bool flipped = false)
        : w(w), h(h), flipped(flipped), store(static_cast<size_t>(w + 4) * (h + 2), kGuard) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                At(x, y) = fill;
    }
    RAST_Pixel* Bits() const override { return const_cast<RAST_Pixel*>(store.data()) + (w + 4) + 2; }
    int Width() const override { return w; }
    int Height() const override { return h; }
    int RowSpan() const override { return w + 4; }
    bool IsFlipped() const override { return flipped; }
    bool ResizeTo(int, int) override { return false; }
    void* DrawingContext() const override { return nullptr; }
    intptr_t Extended(int, void*) override { return 0; }

    // Logical pixel (x, y), y = 0 at the top.
    RAST_Pixel& At(int x, int y) { return Row(y)[x]; }
    RAST_Pixel At(int x, int y) const { return Row(y)[x]; }

    bool GuardsIntact() const {
        for (int y = -1; y <= h; ++y)
            for (int x = -2; x < w + 2; ++x) {
                const bool inside = x >= 0 && x < w && y >= 0 && y < h;
                if (!inside && store[static_cast<size_t>(y + 1) * (w + 4) + (x + 2)] != kGuard) return false;
            }
        return true;
    }

  private:
    int w, h;
    bool flipped;
    std::vector<RAST_Pixel> store;
};
