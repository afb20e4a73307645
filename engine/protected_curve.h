#pragma once

#include "engine/band_grid.h"

// The wanted response a new measurement starts with. Where the two recordings share little (low
// coherence) the measured difference is mostly noise, and correcting it would match noise instead of
// microphones; there the wanted response follows the measured difference, so nothing is corrected.
// In between, the share of the correction fades in decibels. No band is boosted by more than the
// limit. Because all of it lives in the drawn curve, the user sees what is done and can redraw it;
// a flat curve gives the exact correction of the measurement.
struct ProtectionRule {
    bool enabled = true;
    // Chosen with the quality benchmark: from 0.9/0.5 down to 0.8/0.4 pink-noise corrections stop
    // losing anything against the unprotected ones (a narrow notch's band sums lose a little
    // coherence to its phase), while voices with noisy microphones stay as well protected.
    double fullCoherence = 0.8; // at and above: the whole correction
    double noCoherence = 0.4;   // at and below: none
    double maxBoostDb = 12.0;   // largest boost of the correction in a band; 0 or less: no limit
};

// What the rule did in one of the 33 normal bands.
struct BandProtection {
    double measuredDb = 0.0;   // level-matched target / reference
    double share = 1.0;        // 0..1 of the correction kept for the coherence
    double wantedDb = 0.0;     // the curve's value
    double correctionDb = 0.0; // wanted - measured: what the design will apply there
    bool limited = false;      // the boost limit lowered it
};

// Fraction of the correction kept at a coherence.
double CorrectionShare(const ProtectionRule& rule, double coherence);

// Writes the 33 entries of the wanted curve (linear ratios) from the 153-entry band levels and the
// 153-entry coherence; detail (33 entries) may be null. A band whose levels cannot be divided gets
// 1.0. Without the rule enabled the curve is flat.
void ProtectedCurve(const ProtectionRule& rule, const double* targetBands, const double* referenceBands,
                    const double* coherence, double* curve33, BandProtection* detail);
