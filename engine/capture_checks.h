#pragma once

#include "engine/cross_spectra.h"

#include <cstddef>

// What the two recordings of a measurement reveal about how they were captured.

constexpr double kClipLevel = 0.98855309465693886; // -0.1 dBFS
constexpr double kSilentDbfs = -70.0;              // below this (DC removed) a channel counts as silent
constexpr double kSpeedOfSoundCmPerMs = 34.3;      // 343 m/s
// Below this normalised cross-correlation peak the microphones share too little for a delay or
// polarity to mean anything.
constexpr double kCorrelationFloor = 0.1;

struct ChannelCheck {
    long clippedSamples = 0; // samples at or above -0.1 dBFS in magnitude
    double rmsDbfs = -300.0; // level with DC removed; -300 for digital silence
    bool silent = false;     // rmsDbfs below kSilentDbfs
};

struct CaptureChecks {
    ChannelCheck reference, target;
    bool correlated = false;       // the cross-correlation peak reaches kCorrelationFloor
    double correlationPeak = 0.0;  // signed, normalised (-1 .. 1)
    bool polarityInverted = false; // correlated and the peak is negative
    double delaySamples = 0.0;     // target behind reference (> 0) or ahead (< 0), at the recorded rate
    double delayMs = 0.0;
    double delayCm = 0.0; // the delay as a distance at the speed of sound
};

ChannelCheck CheckChannel(const double* samples, std::size_t n);

// Delay and polarity from the averaged cross-spectrum: the peak of its inverse transform (the
// cross-correlation), searched within a quarter segment either way, refined between samples by a
// parabola through the peak and its neighbours. False when memory could not be had.
bool CheckDelayAndPolarity(const CrossSpectra& spectra, double recordedRate, CaptureChecks& out);
