#include "help_pictures.h"

#include "editor_art.h"
#include "style.h"

namespace art {

namespace {

struct EditorState {
    int inputsFrame = 0;
    int output = 2;     // 0 reference, 1 target, 2 corrected target
    int resolution = 0; // 0 normal, 1 high
    double gain = 0.5;
    int progressFrame = -1; // hidden
    bool about = false;
};

Canvas Compose(const EditorState& s) {
    Canvas c = MakeBackground();
    c.Draw(Frame(MakeInputs(), kInputsFrameHeight, s.inputsFrame), kInputsX, kInputsY);
    const Canvas radio = MakeRadio();
    for (int i = 0; i < 3; ++i)
        c.Draw(Frame(radio, kRadioFrameHeight, i == s.output ? 1 : 0), kOutputsX, kOutputsY[i]);
    for (int i = 0; i < 2; ++i)
        c.Draw(Frame(radio, kRadioFrameHeight, i == s.resolution ? 1 : 0), kResolutionX, kResolutionY[i]);
    const int travel = kFaderLength - kFaderSize;
    c.FillRect(kFaderLeft, kFaderTop + 5, kFaderLeft + int(kFaderLength * s.gain), kFaderTop + 7,
               style::kAccent);
    c.Draw(MakeFader(), kFaderLeft + int(travel * s.gain), kFaderTop);
    // A fresh display shows all three curves flat at 0 dB, the white result on top.
    c.FillRect(kPlotLeft, 159, kPlotRight + 1, 160, Rgb(255, 255, 255));
    c.FillRect(kPlotLeft, 158, kPlotRight + 1, 159, Rgb(255, 255, 255));
    if (s.progressFrame >= 0)
        c.Draw(Frame(MakeProgressBar(), kProgressFrameHeight, s.progressFrame), kProgressX, kProgressY);
    if (s.about) {
        c.Draw(MakeAboutBox(), kAboutX, kAboutY);
        TextFace version("DejaVu Sans", 12);
        version.Draw(c, "2.0.3", float(kAboutX + kAboutVersionLeft), float(kAboutY + kAboutVersionTop) + 9,
                     Rgb(255, 255, 255));
    }
    return c;
}

} // namespace

Canvas ComposeFreshEditor() {
    return Compose({});
}

Canvas ComposeRecording() {
    EditorState s;
    s.output = 1;
    s.progressFrame = 9;
    return Compose(s);
}

Canvas ComposeHighResolution() {
    EditorState s;
    s.inputsFrame = 1;
    s.resolution = 1;
    return Compose(s);
}

Canvas ComposeAboutBox() {
    EditorState s;
    s.about = true;
    return Compose(s);
}

} // namespace art
