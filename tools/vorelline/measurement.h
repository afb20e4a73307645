#pragma once

#include "tools/vorelline/plugin_session.h"

#include <string>
#include <vector>

class ProgressReporter;

// A measurement as the plug-in makes it, with the tool in the host's and the user's place: a click
// on Start, blocks of 512 frames of both microphones until the recording is complete, the editor's
// timer every 40 ms of audio (progress strip, then the analysis and the design from the draw cycle).

inline constexpr int kToolBlockFrames = 512;

struct MeasurementInput {
    double sampleRate = 0.0;
    const std::vector<double>* reference = nullptr;
    const std::vector<double>* target = nullptr;
    bool swapInputs = false;              // a click on the input selector: the target goes to input channel 0
    bool highResolution = false;          // a click on the "High Resolution" mark before Start
    ProgressReporter* progress = nullptr; // shows "recording" with its share done, then "analysing"
};

// Input samples a recording consumes at a host rate (every 2nd, 4th or 8th is kept at high rates).
long long SamplesNeededForRecording(double hostSampleRate);

// Prepares processing at the input's rate, plays the recording through the effect and runs the
// analysis. False with a one-line reason when the recordings are too short (the reason names the
// duration needed) or the plug-in refused (its message has then been shown).
bool RunMeasurement(PluginSession& session, const MeasurementInput& input, std::string& error);

// Feeds `samples` through the audio path on both input channels and returns output channel 0;
// shows "playing" with the share done on `progress` when given.
std::vector<double> ProcessThrough(PluginSession& session, const std::vector<double>& samples,
                                   ProgressReporter* progress = nullptr);
