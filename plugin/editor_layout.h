#pragma once

#include "graphics/pixel_rect.h"

#include <string>

class CorrectionEngine;
class IBitmapControl;
class IControl;
class IDummyControl;
class IEffectBase;
class IGraphics;
class IMyFaderControl;
class IMyPlots;
class IMyRadioButton;
class IMyRadioButtonsControl;
class IMyButton;
class IParameterActionTarget;
class ITextControl;

// The editor's fixed face: 730 x 330 pixels redrawn 25 times a second, a background picture with
// every label and button face, and the controls laid over it.
inline constexpr int kEditorWidth = 730;
inline constexpr int kEditorHeight = 330;
inline constexpr int kEditorFrameRate = 25;

// Module images: resource id, the name the editor asks for, frames (stacked vertically) and the
// size the layout is drawn for.
struct EditorImage {
    int resourceId;
    const char* fileName;
    int frames;
    int width;
    int height;
};
inline constexpr EditorImage kBackgroundImage{101, "resources/img/background.png", 1, 730, 330};
inline constexpr EditorImage kFaderImage{102, "resources/img/fader.png", 1, 12, 12};
inline constexpr EditorImage kInputsImage{103, "resources/img/Inputs.png", 2, 55, 66};
inline constexpr EditorImage kRadioImage{104, "resources/img/Radio1.png", 2, 22, 32};
inline constexpr EditorImage kAboutImage{106, "resources/img/about_dialog.png", 1, 220, 187};
inline constexpr EditorImage kProgressImage{107, "resources/img/Progress_bar.png", 21, 225, 609};

// Where the controls sit (left, top, right, bottom).
namespace editor_rect {
inline constexpr IPixelRect kCalibrationLabel{150, 21, 480, 29};
inline constexpr IPixelRect kInputs{631, 100, 686, 133};
inline constexpr IPixelRect kOutputs{521, 172, 543, 222};
inline constexpr IPixelRect kResolution{521, 242, 537, 275};
inline constexpr IPixelRect kGain{621, 191, 705, 203};
inline constexpr IPixelRect kStart{521, 290, 577, 311};
inline constexpr IPixelRect kSave{585, 290, 641, 311};
inline constexpr IPixelRect kLoad{649, 290, 705, 311};
inline constexpr IPixelRect kHelp{521, 49, 577, 70};
inline constexpr IPixelRect kAbout{585, 49, 641, 70};
inline constexpr IPixelRect kReset{648, 49, 705, 70};
inline constexpr IPixelRect kProgress{150, 77, 375, 106};
inline constexpr IPixelRect kAnalysisTrigger{0, 0, 1, 1};
inline constexpr IPixelRect kDisplay{49, 11, 487, 306};
inline constexpr IPixelRect kAboutBox{158, 60, 378, 247};
inline constexpr IPixelRect kAboutVersion{275, 91, 315, 99};
inline constexpr IPixelRect kAboutOk{189, 203, 262, 224};
} // namespace editor_rect

inline constexpr int kGainFaderLength = 84;
inline constexpr const char* kVersionText = "2.0.3";

// The controls the plug-in's actions, the audio path's signals and a loaded file reach; the editor
// owns them all.
struct MicCorrectorControls {
    ITextControl* calibrationLabel = nullptr; // only with a calibration file
    IMyRadioButton* inputsSelector = nullptr;
    IMyRadioButtonsControl* outputsSelector = nullptr;
    IMyRadioButtonsControl* resolutionSelector = nullptr;
    IMyFaderControl* gainFader = nullptr;
    IBitmapControl* progressBar = nullptr;
    IDummyControl* analysisTrigger = nullptr;
    IMyPlots* responseDisplay = nullptr;
    IBitmapControl* aboutPicture = nullptr;
    ITextControl* aboutVersionText = nullptr;
    IMyButton* aboutOkButton = nullptr;
};

// Adds the eighteen rows of the layout to `editor`, in order (later ones lie on top). An image that
// cannot be loaded leaves its control in place, sized as the layout says, drawing nothing.
MicCorrectorControls BuildMicCorrectorEditor(IGraphics& editor, IEffectBase* plug,
                                             IParameterActionTarget* actions, CorrectionEngine& engine,
                                             const std::string& calibrationLabel);
