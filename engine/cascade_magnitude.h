#pragma once

#include "engine/peaking_section.h"

// What a cascade of peaking sections does to a level, for checks of a design: every section is
// 1 + b(1 - z^-2) / (1 + a1 z^-1 + a2 z^-2).

// |H| of the first n sections at hz, for a cascade running at `rate`.
double CascadeMagnitude(const PeakingSection* sections, int n, double rate, double hz);

// The largest gain in dB of the first n sections from 20 Hz to 20 kHz (or the Nyquist frequency),
// on 600 log-spaced frequencies: 0.017 octave apart, where the narrowest sections are 0.24 octave
// wide. Its frequency goes to *atHz when given.
double LargestBoostDb(const PeakingSection* sections, int n, double rate, double* atHz = nullptr);
