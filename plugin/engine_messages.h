#pragma once

#include "engine/engine_listener.h"

// The text the user reads for what the engine reports.
const char* NoticeMessage(EngineNotice notice);
// The message that tells the user why a measurement was not used; null for a usable one.
const char* VerdictMessage(MeasurementVerdict v);
