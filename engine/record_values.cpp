#include "engine/record_values.h"

#include <cmath>

bool BandLevelsCanBeMeasured(const double* levels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const double v = levels[i];
        // -0.0 compares equal to 0 and is a silent band too.
        if (v == 0.0) continue;
        if (!(v > 0.0) || !std::isnormal(v)) return false;
    }
    return true;
}

bool CurveRatiosCanBeDrawn(const double* ratios, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!(ratios[i] > 0.0) || !std::isnormal(ratios[i])) return false;
    return true;
}
