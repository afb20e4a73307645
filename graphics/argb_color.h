#pragma once

#include <cstdint>

// A colour as the editor code writes it: alpha, red, green, blue, each 0-255.
struct IArgbColor {
    int32_t a = 255;
    int32_t r = 0;
    int32_t g = 0;
    int32_t b = 0;

    constexpr IArgbColor() = default;
    constexpr IArgbColor(int32_t alpha, int32_t red, int32_t green, int32_t blue)
        : a(alpha), r(red), g(green), b(blue) {}

    // The raster pixel word: alpha in the high byte, blue in the low byte.
    constexpr uint32_t ToPixel() const {
        return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24;
    }

    constexpr bool operator==(const IArgbColor&) const = default;
};
