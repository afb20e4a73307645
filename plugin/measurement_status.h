#pragma once

#include "engine/measurement_quality.h"
#include "engine/protected_curve.h"

#include <string>

// One short line on what a measurement can be trusted for and what the capture checks found, e.g.
// "trusted 45 Hz - 7.9 kHz; target clips (120); polarity inverted; delay 3.0 ms (103 cm)".
// Empty when the quality is not known. The trusted range runs from the lowest to the highest of
// the 33 bands whose coherence gets the whole correction.
std::string MeasurementStatusLine(const MeasurementQuality& quality, const ProtectionRule& rule);

// "45 Hz", "7.9 kHz", "20 kHz".
std::string FrequencyLabel(double hz);
