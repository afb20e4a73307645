#pragma once

#include "plugin/alg_file.h"

class CorrectionEngine;
class IEffectBase;

// Between the engine and a .alg record: what Save stores and what Load restores.

// The record Save writes: selections as the flags word, gain, both band sets and the user's curve at
// normal resolution.
AlgRecord AlgRecordFromEngine(const CorrectionEngine& engine);

// Load's steps after a record was accepted: "Outputs", "Inputs", "Resolution" and "Gain" (clamped into
// 0..1) go to the engine and to the parameter records 0 to 3 of `effect`; the band sets and the 33
// curve entries are copied, the semitone curve is derived from them, and the correction is designed
// once. Editor controls are the caller's to update.
void ApplyAlgRecord(const AlgRecord& record, CorrectionEngine& engine, IEffectBase& effect);
