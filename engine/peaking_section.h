#pragma once

// One section of the correction cascade: coefficients b, a1, a2 and the transposed-direct-form
// states z1, z2. A design comes with zero states; installing it over a cascade of the same sections
// playing the same input takes only its coefficients and keeps the states running. Only the audio
// path changes the states afterwards.
struct PeakingSection {
    double b = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double z1 = 0.0;
    double z2 = 0.0;
};
