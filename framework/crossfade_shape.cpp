#include "framework/crossfade_shape.h"

#include <cmath>
#include <numbers>

double FadeShape(int position, int length) {
    if (position >= length) return 1.0;
    if (position <= 0) return 0.0;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * position / length);
}

int FadeSamples(double seconds, double sampleRate) {
    const double n = std::isfinite(sampleRate) && sampleRate > 0.0 ? std::lround(seconds * sampleRate) : 1.0;
    return n < 1.0 ? 1 : n > 1e7 ? 10000000 : static_cast<int>(n);
}
