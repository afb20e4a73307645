// Renders the help pages' pictures of the editor: the plug-in class with its headless editor, driven
// through the states the pages explain, with the built-in recordings of two microphones.
//
//   make_help_pictures <folder>    writes m1.png (a new instance), m2.png (a recording under way),
//                                  m3.png (after a measurement, with a drawn wanted response) and
//                                  m4.png (the About box)

#include "graphics/headless/headless_graphics.h"
#include "plugin/editor_layout.h"
#include "plugin/mic_corrector.h"
#include "tools/vorelline/demo_microphones.h"
#include "tools/vorelline/measurement.h"
#include "tools/vorelline/plugin_session.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000.0;

bool Write(PluginSession& session, const std::string& path) {
    if (session.WriteEditorPicture(path)) return true;
    std::fprintf(stderr, "make_help_pictures: cannot write %s\n", path.c_str());
    return false;
}

// Start pressed, then the first `fraction` of the recording played.
void RecordPartly(PluginSession& session, const DemoMicrophones& mics, double fraction) {
    session.PrepareProcessing(kRate);
    session.Click(editor_rect::kStart);
    const auto frames = static_cast<size_t>(double(SamplesNeededForRecording(kRate)) * fraction);
    std::vector<double> out0(kToolBlockFrames), out1(kToolBlockFrames);
    for (size_t pos = 0; pos + kToolBlockFrames <= frames; pos += kToolBlockFrames) {
        double* in[2] = {const_cast<double*>(mics.reference.data() + pos),
                         const_cast<double*>(mics.target.data() + pos)};
        double* out[2] = {out0.data(), out1.data()};
        session.Process(in, out, kToolBlockFrames);
    }
}

// A wanted response drawn freehand: a gentle lift of the treble, from 0 dB at about 1.5 kHz to
// +4 dB at 20 kHz.
void DrawTrebleLift(PluginSession& session) {
    IGraphicsHeadless& editor = session.Editor();
    IMouseMods left;
    left.left = true;
    const int fromX = 280, fromY = 158, toX = 486, toY = 129, steps = 40;
    editor.MouseDown(fromX, fromY, left);
    for (int step = 1; step <= steps; ++step)
        editor.MouseDrag(fromX + (toX - fromX) * step / steps, fromY + (toY - fromY) * step / steps, left);
    editor.MouseUp(toX, toY, left);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_help_pictures <folder>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const DemoMicrophones mics = MakeDemoRecordings(kRate, SamplesNeededForRecording(kRate) + 4800);
    bool ok = true;

    {
        PluginSession fresh;
        ok = Write(fresh, dir + "m1.png") && ok;
    }
    {
        PluginSession recording;
        RecordPartly(recording, mics, 0.47);
        ok = Write(recording, dir + "m2.png") && ok;
    }
    {
        PluginSession measured;
        MeasurementInput input;
        input.sampleRate = kRate;
        input.reference = &mics.reference;
        input.target = &mics.target;
        std::string error;
        if (!RunMeasurement(measured, input, error)) {
            std::fprintf(stderr, "make_help_pictures: %s\n", error.c_str());
            return 1;
        }
        DrawTrebleLift(measured);
        ok = Write(measured, dir + "m3.png") && ok;
        measured.Click(editor_rect::kAbout);
        ok = Write(measured, dir + "m4.png") && ok;
    }
    return ok ? 0 : 1;
}
