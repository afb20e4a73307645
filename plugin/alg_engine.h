#pragma once

#include "plugin/alg_file.h"

#include "engine/engine_snapshot.h"

class CorrectionEngine;
class IEffectBase;

// Between the engine and a .alg record: what Save stores and what Load restores.

// The record Save writes: selections as the flags word, gain, both band sets and the user's curve at
// normal resolution.
AlgRecord AlgRecordFromEngine(const EngineSnapshot& snapshot);

// The correction a record holds, as the engine takes it in one operation.
CorrectionSettings CorrectionFromAlgRecord(const AlgRecord& record);

// Load's steps after a record was accepted: "Outputs", "Inputs", "Resolution" and "Gain" (clamped into
// 0..1) go to the parameter records 0 to 3 of `effect`, and the whole correction to the engine in one
// operation, which asks for one design (and runs it unless the engine defers designs). Editor
// controls are the caller's to update.
void ApplyAlgRecord(const AlgRecord& record, CorrectionEngine& engine, IEffectBase& effect);
