#pragma once

#include "tools/vorelline/audio_file.h"

#include <string>

// Tells the user about samples that a file of integer samples at `path` cannot hold: how many and the
// peak in dBFS, with `remedy` (what to change, followed by how many dB less it needs). Without
// `allowed` that is a refusal (false: the file is not to be written); with it a warning. No clipping:
// true, and nothing is said.
bool ReportClipping(const std::string& path, const ClippingCount& clipping, bool allowed,
                    const std::string& remedy);
