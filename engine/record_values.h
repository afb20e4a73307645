#pragma once

#include <cstddef>

// What a stored correction (a host's state or a .alg file) may hold, whoever wrote it: values a
// measurement, a calibration file or a drawing can produce. Anything else comes from a disk or
// transfer fault and would reach the design as a spike.

// A band level is the square root of a sum of powers, divided at most by a calibration gain of
// 200 dB: 0 (a band with no bins at the rate, or without power) or a finite positive number far
// above the subnormal range (a square root of any positive double is at least 1e-162). Negative,
// non-finite and subnormal levels cannot be measured.
bool BandLevelsCanBeMeasured(const double* levels, std::size_t count);

// A curve ratio comes from a drawing (a row of the display), the protection rule or a reset: always
// positive, finite and of normal size.
bool CurveRatiosCanBeDrawn(const double* ratios, std::size_t count);
