#pragma once

#include "engine/band_grid.h"
#include "engine/measurement_quality.h"
#include "engine/peaking_section.h"
#include "engine/protected_curve.h"

#include <array>
#include <cstdint>

// The engine as the display, the tool and the tests read it: one consistent copy, taken under the
// plug-in lock (CorrectionEngine::Snapshot). The names are those of the engine's own fields.
struct EngineSnapshot {
    // Selections and gain.
    double inputSelection = 0.0;
    double outputSelection = 0.0;
    double resolution = 0.0;
    double gainPosition = 0.5;
    double gainFactor = 1.0;
    double workingSampleRate = 1.0;

    // The recording.
    int recordingActive = 0;
    int recordPosition = 0;
    double recordProgress = 0.0;

    // The cascade in force.
    int filterReady = 0;
    std::array<PeakingSection, kMaxSections> correctionCascade{};
    int cascadeSections = kNormalBands;
    double levelMatchGain = 1.0;

    // The measurement, the calibration and the wanted response.
    std::array<double, kBandCount> targetBands{};
    std::array<double, kBandCount> referenceBands{};
    std::array<double, kBandCount> calibrationGain{};
    std::array<double, kBandCount> userCurve{};
    MeasurementQuality quality;
    ProtectionRule protection;

    // The last design (first n entries valid) and the display curves.
    std::array<double, kMaxSections> sectionGain{};
    std::array<double, kMaxSections> measuredRatio{};
    std::array<double, kMaxSections> achievedResponse{};
    std::array<double, kMaxSections> curveMeasured{};
    std::array<double, kMaxSections> curveResult{};
    std::array<double, kMaxSections> curveDesired{};
    int designPasses = 0;
    bool designConverged = false;
    // Designs asked for since the engine was made (each change of a design input asks once).
    std::uint64_t designRequests = 0;
};

// A whole correction as the user keeps it in a file: the four selections, both band sets and the
// drawn curve at normal resolution (the semitone curve is derived from it).
struct CorrectionSettings {
    double inputSelection = 0.0;
    double outputSelection = 0.0;
    double resolution = 0.0;
    double gainPosition = 0.5;
    std::array<double, kBandCount> targetBands{};
    std::array<double, kBandCount> referenceBands{};
    std::array<double, kNormalBands> userCurve{};
};
