#include "raster/glyph_combine.h"
#include "raster/blit.h"
#include "raster/pixel_ops.h"

#include <algorithm>

namespace rast {

RAST_Pixel CombineCoverage(int mode, RAST_Pixel d, RAST_Pixel p, int v, int a) {
    switch (mode) {
    case ModeCopy: {
        int out[4];
        if (a >= 256) {
            for (int c = 0; c < 3; ++c)
                out[c] = Ch(p, c) + (Ch(d, c) - Ch(p, c)) * (255 - v) / 256;
            out[3] = 255 + (255 - v) * (Ch(d, 3) - 255) / 256;
        } else {
            const int g = a * v >= 65792 ? 0 : 256 - a * v / 256;
            for (int c = 0; c < 3; ++c)
                out[c] = Ch(p, c) + (Ch(d, c) - Ch(p, c)) * g / 256;
            out[3] = 255 + (Ch(d, 3) - 255) * g / 256;
        }
        return Pack(out[0], out[1], out[2], out[3]);
    }
    case ModeMultiply: {
        const int f = a >= 256 ? v + 1 : std::min(256, a * v / 256);
        int out[4];
        for (int c = 0; c < 3; ++c)
            out[c] = (Ch(p, c) * f + (256 - f) * 256) * Ch(d, c) >> 16;
        out[3] = (65536 - f) * Ch(d, 3) >> 16;
        return Pack(out[0], out[1], out[2], out[3]);
    }
    default: {
        // The other modes weight the plain pixel combiners by the coverage.
        const int f = a >= 256 ? v + 1 : std::min(256, a * v / 256);
        return TableMix(mode, d, p, f);
    }
    }
}

} // namespace rast
