#include "raster/blit.h"
#include "raster/copy_source_alpha.h"
#include "raster/mem_bitmap.h"
#include "raster/pixel_ops.h"

#include <algorithm>
#include <cstring>

using namespace rast;

namespace {

struct BlitArea {
    const RAST_IBitmap* src;
    RAST_IBitmap* dest;
    int sx, sy, dx, dy, w, h;
};

// Applies op(d, s) -> d' to every visible pixel, row by row.
template <typename Op> void ForEachPixel(const BlitArea& b, Op op) {
    for (int row = 0; row < b.h; ++row) {
        const RAST_Pixel* s = b.src->Row(b.sy + row) + b.sx;
        RAST_Pixel* d = b.dest->Row(b.dy + row) + b.dx;
        for (int i = 0; i < b.w; ++i)
            d[i] = op(d[i], s[i]);
    }
}

// Weight of a source pixel with its own alpha sa at constant alpha a.
inline int SourceWeight(int a, int sa) {
    return a * (sa + 1) / 256;
}

void CopyWithSourceAlpha(const BlitArea& b, int a) {
    for (int row = 0; row < b.h; ++row)
        CopyRowWithSourceAlpha(b.dest->Row(b.dy + row) + b.dx, b.src->Row(b.sy + row) + b.sx, b.w, a);
}

void PlainCopy(const BlitArea& b, float alpha) {
    if (alpha == 1.0f) {
        for (int row = 0; row < b.h; ++row)
            std::memmove(b.dest->Row(b.dy + row) + b.dx, b.src->Row(b.sy + row) + b.sx,
                         static_cast<size_t>(b.w) * sizeof(RAST_Pixel));
        return;
    }
    if (alpha == 0.5f) {
        ForEachPixel(b, [](RAST_Pixel d, RAST_Pixel s) { return MixHalf(s, d); });
        return;
    }
    const int a = IntAlpha(alpha);
    if (a < 1) return;
    if (a == 256) {
        ForEachPixel(b, [](RAST_Pixel, RAST_Pixel s) { return s; });
        return;
    }
    ForEachPixel(b, [a](RAST_Pixel d, RAST_Pixel s) { return CopyMix(d, s, a); });
}

void ChannelCopy(const BlitArea& b, int mode) {
    const int dshift = 8 * ((mode >> 2) & 3), sshift = 8 * (mode & 3);
    const RAST_Pixel keep = ~(RAST_Pixel(255) << dshift);
    ForEachPixel(b, [=](RAST_Pixel d, RAST_Pixel s) { return (d & keep) | ((s >> sshift) & 255) << dshift; });
}

// Clips the source rectangle (whole source when null) placed at (dx, dy) to both bitmaps; false
// when nothing is left to draw.
bool ClipBlitArea(RAST_IBitmap* dest, const RAST_IBitmap* src, int dx, int dy, const RAST_Rect* srcRect,
                  BlitArea& b) {
    // Clipping in 64 bits: extreme rectangles and offsets must not wrap.
    long long left = 0, top = 0, right = src->Width(), bottom = src->Height();
    if (srcRect) {
        left = srcRect->left;
        top = srcRect->top;
        right = std::min<long long>(srcRect->right, src->Width());
        bottom = std::min<long long>(srcRect->bottom, src->Height());
    }
    long long x = dx, y = dy;
    if (left < 0) x -= left, left = 0;
    if (top < 0) y -= top, top = 0;
    if (x < 0) left -= x, x = 0;
    if (y < 0) top -= y, y = 0;
    if (x >= dest->Width() || y >= dest->Height()) return false;
    const long long w = std::min(right - left, dest->Width() - x);
    const long long h = std::min(bottom - top, dest->Height() - y);
    if (w <= 0 || h <= 0) return false;

    b = BlitArea{src,
                 dest,
                 static_cast<int>(left),
                 static_cast<int>(top),
                 static_cast<int>(x),
                 static_cast<int>(y),
                 static_cast<int>(w),
                 static_cast<int>(h)};
    return true;
}

// A bitmap blitted onto itself with overlapping areas would read pixels it has already written:
// such a blit reads from a copy of the source area instead. False when the copy cannot be made.
bool SeparateOverlap(BlitArea& b, RAST_MemBitmap& copy) {
    const long long left = b.sx, top = b.sy, x = b.dx, y = b.dy, w = b.w, h = b.h;
    if (b.src->Bits() != b.dest->Bits() || !(left < x + w && x < left + w && top < y + h && y < top + h))
        return true;
    if (!copy.ResizeTo(b.w, b.h) || copy.Width() != b.w) return false;
    for (int row = 0; row < b.h; ++row)
        std::memcpy(copy.Row(row), b.src->Row(b.sy + row) + b.sx,
                    static_cast<size_t>(b.w) * sizeof(RAST_Pixel));
    b.src = &copy;
    b.sx = b.sy = 0;
    return true;
}

// Combines the clipped areas as the mode's low byte says, at constant alpha, weighted by each
// source pixel's own alpha as well with UseSourceAlpha.
void CombineArea(const BlitArea& b, float alpha, int mode) {
    if ((mode & 0xFF) >= 0xF0) {
        ChannelCopy(b, mode & 0xFF);
        return;
    }
    const int a = IntAlpha(alpha);
    const bool useSourceAlpha = (mode & UseSourceAlpha) != 0;
    switch (mode & 0xFF) {
    case ModeCopy:
        if (!useSourceAlpha)
            PlainCopy(b, alpha);
        else
            CopyWithSourceAlpha(b, a);
        return;
    case ModeAdd:
        if (!useSourceAlpha) {
            if (a > 0) ForEachPixel(b, [a](RAST_Pixel d, RAST_Pixel s) { return AddMix(d, s, a); });
        } else {
            ForEachPixel(b, [a](RAST_Pixel d, RAST_Pixel s) {
                const int sa = Ch(s, 3);
                return sa == 0 ? d : AddMix(d, s, SourceWeight(a, sa));
            });
        }
        return;
    case ModeDodge:
        if (!useSourceAlpha) {
            if (a > 0) ForEachPixel(b, [a](RAST_Pixel d, RAST_Pixel s) { return DodgeMix(d, s, a); });
        } else {
            ForEachPixel(
                b, [a](RAST_Pixel d, RAST_Pixel s) { return DodgeMix(d, s, SourceWeight(a, Ch(s, 3))); });
        }
        return;
    case ModeMultiply:
        if (!useSourceAlpha) {
            if (a > 0) ForEachPixel(b, [a](RAST_Pixel d, RAST_Pixel s) { return MultiplyMix(d, s, a); });
        } else {
            ForEachPixel(b, [a](RAST_Pixel d, RAST_Pixel s) {
                const int sa = Ch(s, 3);
                return sa == 0 ? d : MultiplyMix(d, s, SourceWeight(a, sa));
            });
        }
        return;
    case ModeOverlay:
        if (!useSourceAlpha) {
            if (a > 0) ForEachPixel(b, [a](RAST_Pixel d, RAST_Pixel s) { return OverlayMix(d, s, a); });
        } else {
            ForEachPixel(
                b, [a](RAST_Pixel d, RAST_Pixel s) { return OverlayMix(d, s, SourceWeight(a, Ch(s, 3))); });
        }
        return;
    case ModeHsvAdjust:
        if (!useSourceAlpha) {
            if (a > 0)
                ForEachPixel(b, [a](RAST_Pixel d, RAST_Pixel s) { return HsvAdjustMix(d, s, a, Ch(s, 3)); });
        } else {
            ForEachPixel(b, [a](RAST_Pixel d, RAST_Pixel s) {
                return HsvAdjustMix(d, s, SourceWeight(a, Ch(s, 3)), Ch(s, 3));
            });
        }
        return;
    default:
        return;
    }
}

} // namespace

void BlitBitmap(RAST_IBitmap* dest, const RAST_IBitmap* src, int dx, int dy, const RAST_Rect* srcRect,
                float alpha, int mode) {
    if (!dest || !src || alpha == 0.0f || !dest->Bits() || !src->Bits()) return;
    BlitArea b{};
    if (!ClipBlitArea(dest, src, dx, dy, srcRect, b)) return;
    RAST_MemBitmap copy;
    if (!SeparateOverlap(b, copy)) return;
    CombineArea(b, alpha, mode);
}
