#pragma once

#include "engine/engine_listener.h"

// The text the user reads for what the engine reports.
const char* NoticeMessage(EngineNotice notice);
