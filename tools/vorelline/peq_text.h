#pragma once

#include "tools/vorelline/cascade_response.h"

#include <string>
#include <vector>

// A peaking filter as parametric equalizers take it: centre, gain at the centre, and Q with the
// bandwidth term alpha = sin(w0) / (2 Q) of the usual biquad peaking design.
struct PeakingFilter {
    double centreHz = 0.0;
    double gainDb = 0.0;
    double q = 0.0;
};

// Our sections in that form. Each section is exactly such a filter: its numerator 1 + alpha(1 + g)
// over 1 + alpha is the usual design's 1 + alpha' A over 1 + alpha' / A with A = sqrt(1 + g) and
// alpha' = alpha A. Flat sections are left out.
std::vector<PeakingFilter> PeakingFiltersOf(const CascadeSnapshot& cascade);

// A comment line with the sample rate the filters are made for (equalizers skip lines starting with
// '#'; at another rate the same lines give another response), "Preamp: G dB" and one
// "Filter n: ON PK Fc F Hz Gain G dB Q Q" line per filter.
std::string PeqText(double preampDb, const std::vector<PeakingFilter>& filters, double sampleRate);
// Reads those lines back (other lines are ignored); false when a filter line is malformed.
bool ParsePeqText(const std::string& text, double& preampDb, std::vector<PeakingFilter>& filters);

// The usual peaking design of the filters at `rate`, with the preamp, as sections of our form.
CascadeSnapshot SynthesiseCascade(double preampDb, const std::vector<PeakingFilter>& filters, double rate);

// Largest magnitude difference in dB between two cascades over 400 log-spaced frequencies from
// 10 Hz to 20 kHz (or just below half the rate).
double MaxMagnitudeDifferenceDb(const CascadeSnapshot& a, const CascadeSnapshot& b);
