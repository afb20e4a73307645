#pragma once

#include "engine/cross_spectra.h"

#include <cstddef>

// What the two recordings of a measurement reveal about how they were captured.

constexpr double kClipLevel = 0.98855309465693886; // -0.1 dBFS
constexpr double kSilentDbfs = -70.0;              // below this (DC removed) a channel counts as silent
constexpr double kSpeedOfSoundCmPerMs = 34.3;      // 343 m/s
// Below this peak of the whitened cross-correlation (1 when every bin agrees on one delay) the
// microphones share too little for a delay or polarity to mean anything. Unrelated recordings
// peak near 0.03.
constexpr double kCorrelationFloor = 0.1;
// The range whose bins decide the delay and polarity.
constexpr double kDelayLowestHz = 20.0;
constexpr double kDelayHighestHz = 20000.0;

struct ChannelCheck {
    long clippedSamples = 0; // samples at or above -0.1 dBFS in magnitude
    double rmsDbfs = -300.0; // level with DC removed; -300 for digital silence
    bool silent = false;     // rmsDbfs below kSilentDbfs
};

struct CaptureChecks {
    ChannelCheck reference, target;
    bool correlated = false;       // the cross-correlation peak reaches kCorrelationFloor
    double correlationPeak = 0.0;  // signed peak of the whitened cross-correlation (-1 .. 1)
    bool polarityInverted = false; // correlated and the peak is negative
    double delaySamples = 0.0;     // target behind reference (> 0) or ahead (< 0), at the recorded rate
    double delayMs = 0.0;
    double delayCm = 0.0; // the delay as a distance at the speed of sound
};

ChannelCheck CheckChannel(const double* samples, std::size_t n);

// Delay and polarity from the averaged cross-spectrum: the peak of the whitened cross-correlation
// (each bin of 20 Hz - 20 kHz by its phase alone, weighted by its coherence), searched within a
// quarter segment either way, refined between samples by a parabola through the peak and its
// neighbours. The spectrum's colour cannot move that peak, only a delay can; its sign is the
// polarity. False when memory could not be had.
bool CheckDelayAndPolarity(const CrossSpectra& spectra, double recordedRate, CaptureChecks& out);
