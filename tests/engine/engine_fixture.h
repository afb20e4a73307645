#pragma once

#include "engine/correction_engine.h"
#include "engine/measurement_quality.h"
#include "support/engine_effect.h"

#include <string>
#include <vector>

// Records every editor-bound effect of the engine as a line of text, in order.
class EventLog : public IEngineListener {
  public:
    void OnRecordProgress(double v) override {
        progress.push_back(v);
        events.push_back("progress");
    }
    void OnProgressBarVisible(bool v) override { events.push_back(v ? "show" : "hide"); }
    void OnAnalysisTrigger(double v) override {
        trigger = v;
        events.push_back("trigger");
    }
    void OnOutputsChanged(double v) override { events.push_back("outputs " + std::to_string(v)); }
    void OnCurvesChanged() override { ++designs; }
    void OnNotice(EngineNotice n) override {
        const char* names[] = {"no audio", "rate too low", "out of memory"};
        events.push_back(std::string("notice ") + names[static_cast<int>(n)]);
    }
    void OnMeasurementRejected(MeasurementVerdict v) override {
        const char* names[] = {"usable", "reference silent", "target silent", "nothing in common"};
        events.push_back(std::string("rejected ") + names[static_cast<int>(v)]);
    }

    std::vector<std::string> events;
    std::vector<double> progress;
    double trigger = 0.0;
    int designs = 0;
};

// Runs the engine's audio path over frames of two constant or generated channels.
struct Stereo {
    std::vector<double> in0, in1, out0, out1;
    explicit Stereo(int frames) : in0(frames), in1(frames), out0(frames, -7.0), out1(frames, -7.0) {}
    void Run(CorrectionEngine& e) {
        double* in[2] = {in0.data(), in1.data()};
        double* out[2] = {out0.data(), out1.data()};
        e.ProcessBlock(in, out, static_cast<int>(in0.size()));
    }
};
