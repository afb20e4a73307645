#pragma once

#include "engine/engine_snapshot.h"
#include "tools/vorelline/json_writer.h"

#include <string>

// How far the last measurement can be trusted and what protection its wanted response got, as the
// analyze command prints it.

// Adds to a JSON document: qualityKnown, coherence (153), the capture checks (referenceClippedSamples,
// targetClippedSamples, referenceLevelDbfs, targetLevelDbfs, referenceSilent, targetSilent, correlated,
// polarityInverted, delaySamples, delayMs, delayCm), status, and the protection: protected,
// fullCoherence, noCoherence, maxBoostDb, protectionShare, protectionCorrectionDb, protectionLimited
// (33 entries each; limited as 0 or 1).
void AddQualityJson(JsonWriter& json, const EngineSnapshot& engine);

// The status line and one line per normal band: centre, coherence, share of the correction kept,
// the correction, and whether the boost limit lowered it.
std::string QualityTable(const EngineSnapshot& engine);
