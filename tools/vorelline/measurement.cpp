#include "tools/vorelline/measurement.h"

#include "engine/band_grid.h"
#include "plugin/editor_controls.h"
#include "plugin/mic_corrector.h"
#include "tools/vorelline/progress_reporter.h"

#include <algorithm>
#include <cstdio>

long long SamplesNeededForRecording(double hostSampleRate) {
    const double working = hostSampleRate < 44056.0 ? 44056.0 : hostSampleRate;
    const long long step = DecimationStep(working);
    // The first sample after Start is kept, then every step-th one.
    return (static_cast<long long>(kFftLength) - 1) * step + 1;
}

namespace {
std::string Seconds(double samples, double rate) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f s", samples / rate);
    return buffer;
}
} // namespace

bool RunMeasurement(PluginSession& session, const MeasurementInput& input, std::string& error) {
    const std::vector<double>& ref = *input.reference;
    const std::vector<double>& tgt = *input.target;
    const long long needed = SamplesNeededForRecording(input.sampleRate);
    const long long available = static_cast<long long>(std::min(ref.size(), tgt.size()));
    if (available < needed) {
        error = "the recordings are too short: a measurement at " +
                std::to_string(static_cast<long long>(input.sampleRate)) + " Hz needs " +
                std::to_string(needed) + " samples (" +
                Seconds(static_cast<double>(needed), input.sampleRate) + ") of both microphones, they have " +
                std::to_string(available) + " (" + Seconds(static_cast<double>(available), input.sampleRate) +
                ")";
        return false;
    }

    session.PrepareProcessing(input.sampleRate);
    const MicCorrectorControls& controls = session.Plugin().Controls();
    if (input.swapInputs) session.Click(editor_rect::kInputs);
    if (input.highResolution && controls.resolutionSelector && controls.resolutionSelector->NButtons() > 1)
        session.Click(controls.resolutionSelector->Button(1));
    session.Click(editor_rect::kStart);
    CorrectionEngine& engine = session.Plugin().Engine();
    if (!engine.Snapshot().recordingActive) {
        error = "the plug-in did not start the recording";
        return false;
    }

    // Channel 0 carries whatever "Inputs" says is on it.
    const std::vector<double>& channel0 = input.swapInputs ? tgt : ref;
    const std::vector<double>& channel1 = input.swapInputs ? ref : tgt;
    std::vector<double> out0(kToolBlockFrames), out1(kToolBlockFrames);
    std::size_t pos = 0;
    if (input.progress) input.progress->Phase("recording");
    while (engine.Snapshot().recordingActive && pos < channel0.size()) {
        const int frames = static_cast<int>(std::min<std::size_t>(kToolBlockFrames, channel0.size() - pos));
        double* in[2] = {const_cast<double*>(channel0.data() + pos),
                         const_cast<double*>(channel1.data() + pos)};
        double* out[2] = {out0.data(), out1.data()};
        session.Process(in, out, frames);
        pos += static_cast<std::size_t>(frames);
        if (input.progress) input.progress->Update(static_cast<double>(pos) / static_cast<double>(needed));
    }
    if (engine.Snapshot().recordingActive) {
        error = "the recording did not complete";
        return false;
    }
    // The analysis runs in the editor's next draw cycle, as it does behind a host's window.
    if (input.progress) input.progress->Phase("analysing");
    for (int tick = 0; tick < 4 && engine.Snapshot().outputSelection != 1.0; ++tick)
        session.DrawCycle();
    const EngineSnapshot analysed = engine.Snapshot();
    if (analysed.recordPosition != 0 || analysed.outputSelection != 1.0) {
        error = "the analysis of the recording failed";
        return false;
    }
    return true;
}

std::vector<double> ProcessThrough(PluginSession& session, const std::vector<double>& samples,
                                   ProgressReporter* progress) {
    std::vector<double> result(samples.size());
    std::vector<double> spare(kToolBlockFrames);
    if (progress) progress->Phase("playing");
    for (std::size_t pos = 0; pos < samples.size(); pos += kToolBlockFrames) {
        const int frames = static_cast<int>(std::min<std::size_t>(kToolBlockFrames, samples.size() - pos));
        double* in[2] = {const_cast<double*>(samples.data() + pos),
                         const_cast<double*>(samples.data() + pos)};
        double* out[2] = {result.data() + pos, spare.data()};
        session.Process(in, out, frames);
        if (progress)
            progress->Update(static_cast<double>(pos + frames) / static_cast<double>(samples.size()));
    }
    return result;
}
