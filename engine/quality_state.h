#pragma once

#include "engine/measurement_quality.h"

class IByteChunk;

// The measurement's quality as a versioned, self-describing record, meant to follow the state
// record's parameter values in the host's project. It is not written there yet: the controller's
// state puts its bypass flag right after the record, where readers of today look for it, so the
// extension needs a place behind that flag first. A state without it (or with one this reader
// cannot use) means "not known".
//
// Layout (little-endian): the four bytes "TVQX", int32 version (1), int32 payload size in bytes,
// then the payload: int32 known (0 or 1), the 153 coherence values as doubles, and 11 doubles of
// capture checks (clipped samples, level in dBFS and silent flag of the reference, the same of the
// target, correlated flag, correlation peak, polarity-inverted flag, delay in samples, delay in ms;
// the distance follows from the delay). A later version may append to the payload; version-1
// readers skip what follows.
constexpr int kQualityExtensionVersion = 1;

// Appends the extension; false when the chunk could not grow.
bool PutQualityExtension(IByteChunk& chunk, const MeasurementQuality& quality);

// Reads an extension at position (the end of the parameter values; negative: none). Sets `quality`
// to what it holds, or to "not known".
void GetQualityExtension(const IByteChunk& chunk, int position, MeasurementQuality& quality);
