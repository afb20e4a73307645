#pragma once

#include <string>
#include <vector>

// `vorelline apply FILE.alg IN... -o DIR`: every input played through the correction, each channel
// on its own, and written into DIR under its own name in its own format, rate and channel count.
// `output` is the Outputs selection (0 reference, 0.5 target, 1 corrected). Refuses, before writing
// anything, to write over an input or to give two inputs the same output. A file of integer samples
// that would clip is not written unless `allowClipping`. Returns the exit status.
int RunApplyBatch(const std::string& algPath, const std::vector<std::string>& inputs,
                  const std::string& folder, double output, bool allowClipping);
