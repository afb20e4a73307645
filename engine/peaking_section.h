#pragma once

// One section of the correction cascade: coefficients b, a1, a2 and the transposed-direct-form
// states z1, z2. A design comes with zero states; the audio path runs its own copies of the designed
// cascades and decides when running states carry on under new coefficients.
struct PeakingSection {
    double b = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double z1 = 0.0;
    double z2 = 0.0;
};
