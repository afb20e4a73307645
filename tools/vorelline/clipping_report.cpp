#include "tools/vorelline/clipping_report.h"

#include "tools/vorelline/progress_reporter.h"

#include <cmath>
#include <cstdio>

bool ReportClipping(const std::string& path, const ClippingCount& clipping, bool allowed,
                    const std::string& remedy) {
    if (clipping.clipped == 0) return true;
    ClearProgressLine();
    const double peakDb = 20.0 * std::log10(clipping.peak);
    if (allowed) {
        std::fprintf(
            stderr,
            "vorelline: warning: %s: %lld of %lld samples are clipped at full scale (peak %+.2f dBFS)\n",
            path.c_str(), clipping.clipped, clipping.samples, peakDb);
        return true;
    }
    // Rounded up, so that the suggested change is always enough.
    const double needDb = std::ceil(peakDb * 10.0) / 10.0;
    std::fprintf(stderr,
                 "vorelline: refused: %s: %lld of %lld samples would clip (peak %+.2f dBFS); %s by at least "
                 "%.1f dB, or give --allow-clipping; nothing was written\n",
                 path.c_str(), clipping.clipped, clipping.samples, peakDb, remedy.c_str(), needDb);
    return false;
}
