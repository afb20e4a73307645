#include "raster/pixel_ops.h"

namespace rast {

// Hue runs 0..383 in six sectors of 64; saturation and value 0..255 (value = largest channel).
RAST_Pixel HsvAdjustMix(RAST_Pixel d, RAST_Pixel s, int a, int sourceAlpha) {
    const int r = Ch(d, 2), g = Ch(d, 1), b = Ch(d, 0);
    const int hi = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const int lo = r < g ? (r < b ? r : b) : (g < b ? g : b);
    const int range = hi - lo;
    int hue = 0;
    if (range > 0) {
        if (hi == r)
            hue = 64 * (g - b) / range;
        else if (hi == g)
            hue = 128 + 64 * (b - r) / range;
        else
            hue = 256 + 64 * (r - g) / range;
        if (hue < 0) hue += 384;
    }
    int sat = hi > 0 ? range * 255 / hi : 0;
    int val = hi;

    hue += a * (Ch(s, 2) * 3 / 2 - 192) / 256;
    hue %= 384;
    if (hue < 0) hue += 384;
    sat = Clamp255(sat + a * (Ch(s, 1) - 128) / 128);
    val = Clamp255(val + a * (Ch(s, 0) - 128) / 128);

    const int sector = hue / 64, f = hue % 64;
    const int p = val * (255 - sat) / 255;
    const int q = val * (255 * 64 - sat * f) / (255 * 64);
    const int t = val * (255 * 64 - sat * (64 - f)) / (255 * 64);
    int rr, gg, bb;
    switch (sector) {
    case 0:
        rr = val, gg = t, bb = p;
        break;
    case 1:
        rr = q, gg = val, bb = p;
        break;
    case 2:
        rr = p, gg = val, bb = t;
        break;
    case 3:
        rr = p, gg = q, bb = val;
        break;
    case 4:
        rr = t, gg = p, bb = val;
        break;
    default:
        rr = val, gg = p, bb = q;
        break;
    }
    return Pack(bb, gg, rr, Clamp255(sourceAlpha));
}

} // namespace rast
