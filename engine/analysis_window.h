#pragma once

#include <cstddef>

// The analysis window: a periodic Hann window, w(t) = sqrt(8/3)*(1 - cos(2*pi*t/n))/2. Its
// sidelobes fall by 18 dB per octave, so a loud band no longer leaks into the weak bands of a
// voice (below 100 Hz, above 8 kHz); the sqrt(8/3) keeps the mean power of a steady signal, so
// band levels keep their scale. Both microphones get the same window, so band ratios do not
// depend on it.
constexpr double kAnalysisWindowScale = 1.6329931618554521; // sqrt(8/3)

// Multiplies a[0..n) and, when b is not null, b[0..n) by the window of length n (n a multiple of 4).
void ApplyAnalysisWindow(double* a, double* b, std::size_t n);

// The window's n values (n a multiple of 4).
void AnalysisWindow(double* w, std::size_t n);
