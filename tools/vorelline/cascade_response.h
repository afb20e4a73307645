#pragma once

#include "engine/peaking_section.h"

#include <complex>
#include <vector>

struct EngineSnapshot;

// The correction the plug-in plays, as numbers: the sections it runs, the gain after them and the
// rate the host plays at. Every section is 1 + b(1 - z^-2) / (1 + a1 z^-1 + a2 z^-2).
struct CascadeSnapshot {
    std::vector<PeakingSection> sections;
    double gain = 1.0;
    double rate = 48000.0;
};

// The sections and gain of the corrected output as the engine holds them after a design.
CascadeSnapshot SnapshotCascade(const EngineSnapshot& engine, double hostRate);

// The cascade's complex response at `hz`.
std::complex<double> CascadeResponse(const CascadeSnapshot& cascade, double hz);

// Samples after which every section's own ringing has fallen by `decayDb` (a negative number),
// from the radius of its poles; at least 1.
long long SlowestDecaySamples(const CascadeSnapshot& cascade, double decayDb);

// The first `length` samples' response at `hz` (a plain sum, the truncated filter).
std::complex<double> TruncatedResponse(const std::vector<double>& h, std::size_t length, double rate,
                                       double hz);
