#pragma once

#include "engine/engine_snapshot.h"

#include <string>

// The state of an engine after a design, as the analyze and design commands print it.

// The JSON document: sampleRate, workingSampleRate, resolution, outputSelection, inputSelection,
// gainPosition, targetBands, referenceBands, userCurve, calibrationGain, levelMatchGain, iterations,
// sectionGain, sections ([b, a1, a2] each), curveMeasured, curveResult, curveDesired.
// `more`, when given, appends keys of its own after these.
class JsonWriter;
std::string DesignJson(const EngineSnapshot& engine, double hostSampleRate,
                       void (*more)(JsonWriter&, const EngineSnapshot&) = nullptr);

// A readable summary and one line per band in use: centre, measured difference, correction, result
// and wanted response in dB, and the section's peak gain.
std::string DesignTable(const EngineSnapshot& engine, double hostSampleRate);

// 20*log10 of a ratio; very small or non-positive ratios read as -999 dB.
double ToDb(double ratio);
