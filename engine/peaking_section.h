#pragma once

// One section of the correction cascade: coefficients b, a1, a2 and the transposed-direct-form
// states z1, z2. The design writes the coefficients and zeroes the states; only the audio path
// changes the states afterwards.
struct PeakingSection {
    double b = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double z1 = 0.0;
    double z2 = 0.0;
};
