#pragma once

#include <algorithm>
#include <cstdint>

// A rectangle in editor pixels; right and bottom are exclusive for hit tests. Only the all-zero
// rectangle counts as empty: a degenerate one such as (5, 5, 5, 5) is still a place.
struct IPixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr IPixelRect() = default;
    constexpr IPixelRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

    constexpr bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr int32_t W() const { return right - left; }
    constexpr int32_t H() const { return bottom - top; }

    constexpr bool Contains(int32_t x, int32_t y) const {
        return !Empty() && left <= x && x < right && top <= y && y < bottom;
    }

    // Right and bottom compare with >=: rectangles that only touch on those edges still meet.
    constexpr bool Meets(const IPixelRect& b) const {
        return !Empty() && !b.Empty() && right >= b.left && left < b.right && bottom >= b.top &&
               top < b.bottom;
    }

    constexpr IPixelRect Union(const IPixelRect& b) const {
        if (Empty()) return b;
        if (b.Empty()) return *this;
        return {std::min(left, b.left), std::min(top, b.top), std::max(right, b.right),
                std::max(bottom, b.bottom)};
    }

    constexpr IPixelRect Intersection(const IPixelRect& b) const {
        return {std::max(left, b.left), std::max(top, b.top), std::min(right, b.right),
                std::min(bottom, b.bottom)};
    }

    constexpr bool operator==(const IPixelRect&) const = default;
};
