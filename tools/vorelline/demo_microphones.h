#pragma once

#include <vector>

// Built-in recordings for the demo: one noise source heard by an ideally flat reference microphone and
// by a target microphone with a known, typical response: lower sensitivity, a bass roll-off and a
// presence peak.

struct DemoMicrophones {
    double sampleRate = 48000.0;
    std::vector<double> reference;
    std::vector<double> target;
};

// Deterministic: the same recordings on every run.
DemoMicrophones MakeDemoRecordings(double sampleRate, long long samples);

// The target microphone's magnitude relative to the reference at a frequency (linear ratio).
double DemoTargetResponse(double frequency, double sampleRate);

// The same response as the analysis sees it: the rms of the magnitude over each band's FFT bins
// (white noise weighs every bin alike), in the 153-entry band order.
std::vector<double> DemoTargetBandResponse(double sampleRate);

// Words for the table's heading.
const char* DemoTargetDescription();
