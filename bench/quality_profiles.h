#pragma once

// The quality bench's table for microphone profiles (combined corrections against direct ones).
void ReportProfileCombinations();
