#include "raster/blit.h"
#include "raster/pixel_ops.h"

#include <cstdlib>

using namespace rast;

namespace {

int RegionCode(long long x, long long y, int width, int height) {
    int code = 0;
    if (x < 0)
        code |= 1;
    else if (x >= width)
        code |= 2;
    if (y < 0)
        code |= 4;
    else if (y >= height)
        code |= 8;
    return code;
}

// Moves the ends onto the bitmap's borders; false when nothing of the segment is visible.
// Coordinates are 64-bit so that extreme inputs cannot overflow on the way.
bool ClipSegment(long long& x1, long long& y1, long long& x2, long long& y2, int width, int height) {
    for (int moves = 0;; ++moves) {
        const int c1 = RegionCode(x1, y1, width, height), c2 = RegionCode(x2, y2, width, height);
        if ((c1 | c2) == 0) return true;
        if ((c1 & c2) != 0 || moves >= 33) return false;
        const int code = c1 ? c1 : c2;
        const double dx = static_cast<double>(x2 - x1), dy = static_cast<double>(y2 - y1);
        long long x, y;
        if (code & 8) {
            x = x1 + static_cast<long long>((height - y1) * dx / dy);
            y = height - 1;
        } else if (code & 4) {
            x = x1 - static_cast<long long>(y1 * dx / dy);
            y = 0;
        } else if (code & 2) {
            x = width - 1;
            y = y1 + static_cast<long long>((width - x1) * dy / dx);
        } else {
            x = 0;
            y = y1 - static_cast<long long>(x1 * dy / dx);
        }
        if (code == c1)
            x1 = x, y1 = y;
        else
            x2 = x, y2 = y;
    }
}

struct Painter {
    RAST_Pixel* bits;
    int span;
    RAST_Pixel colour;
    int mode;

    RAST_Pixel& At(int x, int y) const { return bits[static_cast<intptr_t>(y) * span + x]; }
    // Paints with weight w (0..256): the copy formula keeps 256 - w of the destination.
    void Weighted(int x, int y, int w) const {
        RAST_Pixel& d = At(x, y);
        d = TableMix(mode, d, colour, w);
    }
};

// Solid run of pixels along one axis (horizontal or vertical), both ends included.
template <typename Op> void Run(const Painter& pt, int x, int y, int sx, int sy, int count, Op op) {
    for (int i = 0; i < count; ++i, x += sx, y += sy) {
        RAST_Pixel& d = pt.At(x, y);
        d = op(d);
    }
}

void StraightLine(const Painter& pt, int x, int y, int sx, int sy, int count, float alpha, int a) {
    const RAST_Pixel p = pt.colour;
    if (pt.mode == ModeCopy) {
        if (alpha == 1.0f) return Run(pt, x, y, sx, sy, count, [p](RAST_Pixel) { return p; });
        if (alpha == 0.5f) return Run(pt, x, y, sx, sy, count, [p](RAST_Pixel d) { return MixHalf(p, d); });
        if (alpha == 0.25f)
            return Run(pt, x, y, sx, sy, count, [p](RAST_Pixel d) { return MixQuarter(p, d); });
        if (alpha == 0.75f)
            return Run(pt, x, y, sx, sy, count, [p](RAST_Pixel d) { return MixThreeQuarters(p, d); });
        if (a == 256) return Run(pt, x, y, sx, sy, count, [p](RAST_Pixel) { return p; });
        if (a == 128)
            return Run(pt, x, y, sx, sy, count, [p](RAST_Pixel d) {
                int out[4];
                for (int c = 0; c < 4; ++c)
                    out[c] = (Ch(p, c) + Ch(d, c)) >> 1;
                return Pack(out[0], out[1], out[2], out[3]);
            });
    }
    const int mode = pt.mode;
    Run(pt, x, y, sx, sy, count, [=](RAST_Pixel d) { return TableMix(mode, d, p, a); });
}

void DiagonalLine(const Painter& pt, int x, int y, int sx, int sy, int n, float alpha, int a) {
    const RAST_Pixel p = pt.colour;
    const bool shifts = pt.mode == ModeCopy && alpha == 1.0f;
    auto heavy = [&](int px, int py) {
        if (shifts)
            pt.At(px, py) = MixThreeQuarters(p, pt.At(px, py));
        else
            pt.Weighted(px, py, a * 3 / 4);
    };
    auto light = [&](int px, int py) {
        if (shifts)
            pt.At(px, py) = MixQuarter(p, pt.At(px, py));
        else
            pt.Weighted(px, py, a / 4);
    };
    for (int i = 0; i < n; ++i, x += sx, y += sy) {
        heavy(x, y);
        light(x + sx, y);
        light(x, y + sy);
    }
    heavy(x, y);
}

// Two fronts walk from the ends toward the middle, each painting its pixel and the neighbour across
// the minor axis with complementary weights from a 16.16 accumulator.
void SmoothLine(const Painter& pt, int x1, int y1, int x2, int y2, int a) {
    const int dx = x2 - x1, dy = y2 - y1;
    const bool xMajor = std::abs(dx) > std::abs(dy);
    const int n = xMajor ? std::abs(dx) : std::abs(dy);
    const int m = xMajor ? std::abs(dy) : std::abs(dx);
    const int slope = static_cast<int>(static_cast<double>(m) / n * 65536.0);
    const int majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    // (major, minor) -> (x, y)
    auto paint = [&](int major, int minor, int w) {
        if (xMajor)
            pt.Weighted(major, minor, w);
        else
            pt.Weighted(minor, major, w);
    };
    int aMajor = xMajor ? x1 : y1, aMinor = xMajor ? y1 : x1;
    int bMajor = xMajor ? x2 : y2, bMinor = xMajor ? y2 : x2;
    paint(aMajor, aMinor, a);
    paint(bMajor, bMinor, a);
    aMajor += majorStep;
    bMajor -= majorStep;
    int acc = slope;
    auto weights = [&](int& main, int& side) {
        const int f = acc >> 8;
        main = 255 - f;
        side = f;
        if (a < 256) main = main * a / 256, side = side * a / 256;
    };
    const int steps = (n + 1) / 2 - 1;
    for (int k = 0; k < steps; ++k) {
        int main, side;
        weights(main, side);
        paint(aMajor, aMinor, main);
        paint(aMajor, aMinor + minorStep, side);
        paint(bMajor, bMinor, main);
        paint(bMajor, bMinor - minorStep, side);
        acc += slope;
        if (acc >= 65536) {
            acc -= 65536;
            aMinor += minorStep;
            bMinor -= minorStep;
        }
        aMajor += majorStep;
        bMajor -= majorStep;
    }
    if (n % 2 == 0) {
        int main, side;
        weights(main, side);
        paint(aMajor, aMinor, main);
        paint(aMajor, aMinor + minorStep, side);
    }
}

} // namespace

void DrawLine(RAST_IBitmap* dest, int x1, int y1, int x2, int y2, RAST_Pixel colour, float alpha, int mode) {
    if (!dest || !dest->Bits()) return;
    const int mode8 = mode & 0xFF;
    if (mode8 > ModeHsvAdjust) return;
    const int a = IntAlpha(alpha);
    if (a < 1) return;
    const int width = dest->Width(), height = dest->Height();
    long long ax = x1, ay = y1, bx = x2, by = y2;
    // Rows are addressed in storage order, so a bottom-up bitmap mirrors y first.
    if (dest->IsFlipped()) ay = height - 1 - ay, by = height - 1 - by;
    if (!ClipSegment(ax, ay, bx, by, width, height)) return;

    const Painter pt{dest->Bits(), dest->RowSpan(), colour, mode8};
    const int cx1 = static_cast<int>(ax), cy1 = static_cast<int>(ay);
    const int cx2 = static_cast<int>(bx), cy2 = static_cast<int>(by);
    const int dx = cx2 - cx1, dy = cy2 - cy1;
    if (dy == 0) {
        StraightLine(pt, dx < 0 ? cx2 : cx1, cy1, 1, 0, std::abs(dx) + 1, alpha, a);
    } else if (dx == 0) {
        StraightLine(pt, cx1, dy < 0 ? cy2 : cy1, 0, 1, std::abs(dy) + 1, alpha, a);
    } else if (std::abs(dx) == std::abs(dy)) {
        DiagonalLine(pt, cx1, cy1, dx < 0 ? -1 : 1, dy < 0 ? -1 : 1, std::abs(dx), alpha, a);
    } else {
        SmoothLine(pt, cx1, cy1, cx2, cy2, a);
    }
}
