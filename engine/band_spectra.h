#pragma once

#include "engine/band_grid.h"
#include "engine/cross_spectra.h"
#include "engine/recording_analysis.h"

#include <array>

// What the averaged spectra of a measurement hold in each of the 153 bands. Band levels, coherence
// and the trust placed in them all come from these sums, so the level a band shows and the
// coherence that protects it describe the same data: the same segments, each weighted alike.
struct BandSpectra {
    std::array<double, kBandCount> referencePower{}; // sum of the reference's auto-spectrum
    std::array<double, kBandCount> targetPower{};    // sum of the target's auto-spectrum
    // Sum of the cross-spectrum reference * conj(target), turned back by the delay.
    std::array<double, kBandCount> crossRe{}, crossIm{};
    std::array<double, kBandCount> binCount{}; // segment bins summed (shares of a bin at the edges)
    int segments = 0;                       // segments averaged
};

// Sums the segment bins of each band. bins: the band bins of the full recording of
// 2^recordingOrder samples; a segment bin at a band's edge counts with the share of it inside. delaySamples: the target's delay behind the
// reference; a delay turns the cross-spectrum's phase by 2*pi*delay/L from one bin to the next,
// and a sum over a wide band of such bins would cancel although the two recordings are alike.
void SumBandSpectra(const CrossSpectra& spectra, const BandBins& bins, int recordingOrder, double delaySamples,
                    BandSpectra& out);

// The coherence a band can be trusted with, 0 (nothing in common) to 1 (one is a filtered copy of
// the other), read as: a band's measured level lies within 10*log10(1/coherence) dB of the truth,
// whichever microphone the noise is in, with two standard deviations of its random error included.
// It starts from the magnitude-squared coherence c^2 = |cross|^2 / (reference power * target power),
// each sum over the band's bins and all segments before the ratio. From D independent averages that
// estimate is too high by about 1/(D) (unrelated signals would show 0.07 in the lowest semitone
// bands): that is taken off first. The level then errs by at most 10*log10(1/c^2) through the noise
// (see BandLevels) and scatters by 20/ln(10) * sqrt((1 - c^2) / (2*c^2*D)) dB: a band of few bins,
// where the level of 30 Hz cannot be told within a decibel, is not trusted, while a wide band or a
// fully coherent one loses next to nothing. D counts the segments and the band's bins, each
// discounted for its overlap with its neighbours. A band where either microphone has no power gets
// 0. Phase that turns within a band beyond a delay (a reflection's comb) lowers it too: the
// estimate errs on the side of trusting less.
void BandCoherence(const BandSpectra& sums, double* coherence);

// Band levels on the scale of one transform of the whole recording (the square root of the summed
// power of its bins), so that levels keep their meaning in stored corrections.
//
// The target's level is the reference's times the band's transfer magnitude sqrt(target power /
// reference power): the geometric mean of the two classic estimates |cross|/reference power and
// target power/|cross|, between which the true magnitude always lies, whichever microphone the
// noise is in. Its error in dB is at most half their distance, -10*log10(coherence): under 1 dB in
// every band of coherence 0.8 or more.
void BandLevels(const BandSpectra& sums, const CrossSpectra& spectra, int recordingOrder, double* referenceBands,
                double* targetBands);
