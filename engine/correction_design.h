#pragma once

#include "engine/band_grid.h"
#include "engine/peaking_section.h"

#include <array>
#include <chrono>

// The iterative fit of the section gains, as a pure computation: the engine gathers the inputs,
// runs it without any lock, and hands the result to the audio path in one short write phase.

constexpr int kDesignPassLimit = 100000;
// The longest a design may take: one still improving then keeps its best pass. Designs that settle
// take well under a millisecond; the limit only meets states no fit can follow.
constexpr std::chrono::milliseconds kDesignTimeBudget{200};
constexpr double kDesignTolerance = 0.001;
constexpr double kLowestSectionGain = -0.9999; // 80 dB of cut at most

struct DesignInputs {
    double workingSampleRate = 1.0;
    double resolution = 0.0;
    double outputSelection = 0.0;
    const double* targetBands = nullptr;     // 153 entries
    const double* referenceBands = nullptr;  // 153 entries
    const double* calibrationGain = nullptr; // 153 entries
    const double* userCurve = nullptr;       // 153 entries
    // Asked every few passes with stopContext; true abandons the design (its result is marked
    // stopped and must not be used). Null: the design runs to its end.
    bool (*shouldStop)(const void* context) = nullptr;
    const void* stopContext = nullptr;
};

struct DesignResult {
    int sections = kNormalBands; // n: 33 or 120
    double levelMatchGain = 1.0;
    int passes = 0;         // updates made
    bool converged = false; // every band within the tolerance
    bool stopped = false;   // abandoned on request: nothing in it is valid
    std::array<double, kMaxSections> sectionGain{};
    std::array<double, kMaxSections> measuredRatio{};
    std::array<double, kMaxSections> achievedResponse{};
    std::array<double, kMaxSections> curveMeasured{};
    std::array<double, kMaxSections> curveResult{};
    std::array<double, kMaxSections> curveDesired{};
    std::array<PeakingSection, kMaxSections> sections_{}; // first `sections` entries valid, states zero
};

// Runs the whole design. Always yields finite coefficients of stable sections:
// - a band level, calibration value or user-curve value that is zero, negative or not finite
//   leaves that band uncorrected (its ratio and wanted value count as 1); a level-match gain that
//   cannot be formed from the levels counts as 1;
// - a fit that does not converge keeps the gains of the pass whose largest band error was the
//   smallest (the all-zero start included), and gives up early once its largest band error is
//   non-finite or both above 1e6 and a million times the best seen, once 2000 passes in a row
//   have not bettered it, or once it has run for kDesignTimeBudget;
// - a section whose coefficients come out non-finite or unstable is left flat (b = 0).
void ComputeCorrection(const DesignInputs& in, DesignResult& out);
// The same with the caller's room for the interaction terms (kMaxSections^2 doubles), so that it
// allocates nothing.
void ComputeCorrection(const DesignInputs& in, DesignResult& out, double* interactionTerms);

// Level-match gain over the normal bands 5..27: sqrt(sum R^2 / sum T^2), 1 when not usable.
double LevelMatchGain(const double* targetBands, const double* referenceBands);
