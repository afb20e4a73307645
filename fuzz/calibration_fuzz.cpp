// A calibration file as the plug-in reads it: tokenising, then resampling onto the analysis grid.
// Every gain that comes out must be finite and positive, since the analysis divides by it.
#include "engine/band_grid.h"
#include "plugin/calibration_file.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<CalibrationPoint> points = ParseCalibrationText(data, size);
    if (points.size() > kMaxCalibrationPairs) std::abort();
    for (const CalibrationPoint& p : points)
        if (!std::isfinite(p.frequency) || !std::isfinite(p.level)) std::abort();
    const CalibrationCurve gain = ResampleCalibration(points, TheBandGrid().bandFrequencies);
    for (double g : gain)
        if (!std::isfinite(g) || !(g > 0.0)) std::abort();
    return 0;
}
