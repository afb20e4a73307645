#pragma once

// Per-pixel combiners shared by blits, fills, lines and glyphs. All arithmetic is on 8-bit channels
// in int; divisions truncate toward zero (differences may be negative), >> is arithmetic.

#include "raster/bitmap.h"

#include <cmath>

namespace rast {

inline int Ch(RAST_Pixel p, int c) {
    return static_cast<int>((p >> (8 * c)) & 255);
}
inline RAST_Pixel Pack(int b, int g, int r, int a) {
    return static_cast<RAST_Pixel>(b & 255) | static_cast<RAST_Pixel>(g & 255) << 8 |
           static_cast<RAST_Pixel>(r & 255) << 16 | static_cast<RAST_Pixel>(a & 255) << 24;
}
inline int Clamp255(int x) {
    return x < 0 ? 0 : (x > 255 ? 255 : x);
}

// Float weight 0..1 to integer alpha 0..256 (truncated); out-of-range and NaN weights are limited.
inline int IntAlpha(float w) {
    if (!(w > 0.0f)) return 0;
    if (w >= 1.0f) return 256;
    return static_cast<int>(w * 256.0f);
}

// Shift-and-mask halves and quarters of all four channels at once.
inline RAST_Pixel Half(RAST_Pixel x) {
    return (x >> 1) & 0x7f7f7f7fu;
}
inline RAST_Pixel Quarter(RAST_Pixel x) {
    return (x >> 2) & 0x3f3f3f3fu;
}
inline RAST_Pixel MixHalf(RAST_Pixel p, RAST_Pixel d) {
    return Half(p) + Half(d);
}
inline RAST_Pixel MixQuarter(RAST_Pixel p, RAST_Pixel d) {
    return Half(d) + Quarter(p) + Quarter(d);
}
inline RAST_Pixel MixThreeQuarters(RAST_Pixel p, RAST_Pixel d) {
    return Half(p) + Quarter(p) + Quarter(d);
}

// D' = S + (D - S) * (256 - a) / 256 on all four channels.
inline RAST_Pixel CopyMix(RAST_Pixel d, RAST_Pixel s, int a) {
    const int keep = 256 - a;
    int out[4];
    for (int c = 0; c < 4; ++c)
        out[c] = Ch(s, c) + (Ch(d, c) - Ch(s, c)) * keep / 256;
    return Pack(out[0], out[1], out[2], out[3]);
}

inline RAST_Pixel AddMix(RAST_Pixel d, RAST_Pixel s, int a) {
    int out[4];
    for (int c = 0; c < 4; ++c)
        out[c] = Clamp255(Ch(d, c) + Ch(s, c) * a / 256);
    return Pack(out[0], out[1], out[2], out[3]);
}

inline int DodgeChannel(int d, int s, int a) {
    const int k = s * a / 256;
    const int v = k < 255 ? d * 256 / (256 - k) : d * 256;
    return v > 255 ? 255 : v;
}
inline RAST_Pixel DodgeMix(RAST_Pixel d, RAST_Pixel s, int a) {
    return Pack(DodgeChannel(Ch(d, 0), Ch(s, 0), a), DodgeChannel(Ch(d, 1), Ch(s, 1), a),
                DodgeChannel(Ch(d, 2), Ch(s, 2), a), DodgeChannel(Ch(d, 3), Ch(s, 3), a));
}

inline RAST_Pixel MultiplyMix(RAST_Pixel d, RAST_Pixel s, int a) {
    int out[4];
    for (int c = 0; c < 4; ++c)
        out[c] = (a * (Ch(s, c) - 256) + 65536) * Ch(d, c) >> 16;
    return Pack(out[0], out[1], out[2], out[3]);
}

inline RAST_Pixel OverlayMix(RAST_Pixel d, RAST_Pixel s, int a) {
    const int m = (256 - a) * 128;
    int out[4];
    for (int c = 0; c < 4; ++c) {
        const int dc = Ch(d, c);
        const int t = Ch(s, c) * a + m;
        out[c] = Clamp255(((32768 - t) * dc / 256 + t) * dc >> 15);
    }
    return Pack(out[0], out[1], out[2], out[3]);
}

// Shifts the destination's hue, saturation and value by the source's red, green and blue (128
// neutral) scaled by a; the result takes sourceAlpha.
RAST_Pixel HsvAdjustMix(RAST_Pixel d, RAST_Pixel s, int a, int sourceAlpha);

// The mode's formula for modes 0 to 5; the source alpha channel is s's own.
inline RAST_Pixel TableMix(int mode, RAST_Pixel d, RAST_Pixel s, int a) {
    switch (mode) {
    case 0:
        return CopyMix(d, s, a);
    case 1:
        return AddMix(d, s, a);
    case 2:
        return DodgeMix(d, s, a);
    case 3:
        return MultiplyMix(d, s, a);
    case 4:
        return OverlayMix(d, s, a);
    case 5:
        return HsvAdjustMix(d, s, a, Ch(s, 3));
    default:
        return d;
    }
}

} // namespace rast
