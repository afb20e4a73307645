#pragma once

#include <array>

// The design models the cascade at every band centre with terms T[r][s] = 0.25*(V_s/V_r - V_r/V_s)^2,
// V_k = tan(pi*F_k/fs). They depend only on the rate tier and the band set, and are computed here
// from the formula rather than read from a stored table.

constexpr int kStandardRateCount = 12;
extern const std::array<double, kStandardRateCount> kStandardRates;

// Index of the standard rate within +-1 Hz of the working rate; 1 (44100 Hz) when none matches.
int StandardRateIndex(double workingSampleRate);

// Fills the n x n row-major matrix for the given standard rate index and resolution
// (0 = normal, 33 bands; else high, 120 bands). `out` must hold n*n doubles.
void ComputeInteractionTerms(int rateIndex, double resolution, double* out);
