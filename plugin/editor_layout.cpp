#include "plugin/editor_layout.h"

#include "graphics/graphics.h"
#include "graphics/text_control.h"
#include "plugin/editor_controls.h"
#include "plugin/parameter_table.h"
#include "plugin/response_display.h"

#include <algorithm>

namespace {

// The strip of a module image; a missing or damaged image keeps the layout's size and frame count
// but has no pixels, so its control still sits and takes clicks where it should.
IImageStrip LoadStrip(IGraphics& editor, const EditorImage& image) {
    IImageStrip strip = editor.LoadImageStrip(image.resourceId, image.fileName, image.frames);
    if (!strip.bitmap) {
        strip.width = image.width;
        strip.height = image.height;
        strip.frames = image.frames;
    }
    return strip;
}

ITextStyle CalibrationLabelStyle() {
    return ITextStyle("Verdana", 16, IArgbColor(255, 220, 220, 220), ITextStyle::kBold, ITextStyle::kFar);
}

ITextStyle VersionTextStyle() {
    return ITextStyle("Verdana", 16, IArgbColor(255, 255, 255, 255), ITextStyle::kNormal, ITextStyle::kNear);
}

// The layout gives a text its anchor box; the text itself may be taller or wider (it is not cut at
// the box, as the native text drawing does not cut it). The control covers what the text covers, so
// that every redraw erases and repaints all of it.
IPixelRect TextArea(IGraphics& editor, ITextStyle& style, const std::string& text, const IPixelRect& box) {
    IPixelRect measured = box;
    if (!editor.MeasureStyledText(style, text.c_str(), measured)) return box;
    IPixelRect area = box;
    area.bottom = std::max(box.bottom, box.top + measured.H());
    if (style.alignment == ITextStyle::kNear) area.right = std::max(box.right, box.left + measured.W());
    if (style.alignment == ITextStyle::kFar) area.left = std::min(box.left, box.right - measured.W());
    return area;
}

} // namespace

MicCorrectorControls BuildMicCorrectorEditor(IGraphics& editor, IEffectBase* plug,
                                             IParameterActionTarget* actions, CorrectionEngine& engine,
                                             const std::string& calibrationLabel) {
    namespace R = editor_rect;
    MicCorrectorControls c;

    editor.AddControl(
        new IBitmapControl(plug, 0, 0, -1, LoadStrip(editor, kBackgroundImage), IBlendSpec::kOpaque));
    if (!calibrationLabel.empty()) {
        ITextStyle style = CalibrationLabelStyle();
        c.calibrationLabel = new ITextControl(
            plug, TextArea(editor, style, calibrationLabel, R::kCalibrationLabel), style, calibrationLabel);
        editor.AddControl(c.calibrationLabel);
    }

    c.inputsSelector = new IMyRadioButton(plug, actions, R::kInputs.left, R::kInputs.top, kParamInputs,
                                          LoadStrip(editor, kInputsImage), kParamInputs);
    editor.AddControl(c.inputsSelector);
    const IImageStrip radio = LoadStrip(editor, kRadioImage);
    c.outputsSelector =
        new IMyRadioButtonsControl(plug, actions, R::kOutputs, kParamOutputs, 3, radio, kParamOutputs);
    editor.AddControl(c.outputsSelector);
    c.resolutionSelector = new IMyRadioButtonsControl(plug, actions, R::kResolution, kParamResolution, 2,
                                                      radio, kParamResolution);
    editor.AddControl(c.resolutionSelector);
    c.gainFader = new IMyFaderControl(plug, actions, R::kGain.left, R::kGain.top, kGainFaderLength,
                                      kParamGain, LoadStrip(editor, kFaderImage), kParamGain);
    editor.AddControl(c.gainFader);

    struct ButtonRow {
        IPixelRect rect;
        int param;
    };
    for (const ButtonRow& b : {ButtonRow{R::kStart, kParamStart}, ButtonRow{R::kSave, kParamSave},
                               ButtonRow{R::kLoad, kParamLoad}, ButtonRow{R::kHelp, kParamHelp},
                               ButtonRow{R::kAbout, kParamAbout}, ButtonRow{R::kReset, kParamReset}})
        editor.AddControl(new IMyButton(plug, actions, b.rect, b.param, b.param));

    c.progressBar = new IBitmapControl(plug, R::kProgress.left, R::kProgress.top, kParamProgress,
                                       LoadStrip(editor, kProgressImage), IBlendSpec::kAlpha);
    editor.AddControl(c.progressBar);
    c.progressBar->SetHidden(true);

    c.analysisTrigger = new IDummyControl(plug, R::kAnalysisTrigger);
    editor.AddControl(c.analysisTrigger);
    c.analysisTrigger->ApplyHostValue(0.0);

    c.responseDisplay = new IMyPlots(plug, engine, R::kDisplay, kParamDisplay);
    editor.AddControl(c.responseDisplay);

    c.aboutPicture = new IBitmapControl(plug, R::kAboutBox.left, R::kAboutBox.top, -1,
                                        LoadStrip(editor, kAboutImage), IBlendSpec::kAlpha);
    editor.AddControl(c.aboutPicture);
    c.aboutPicture->SetHidden(true);
    ITextStyle versionStyle = VersionTextStyle();
    c.aboutVersionText = new ITextControl(
        plug, TextArea(editor, versionStyle, kVersionText, R::kAboutVersion), versionStyle, kVersionText);
    editor.AddControl(c.aboutVersionText);
    c.aboutVersionText->SetHidden(true);
    c.aboutOkButton = new IMyButton(plug, actions, R::kAboutOk, kParamAboutOk, kParamAboutOk);
    editor.AddControl(c.aboutOkButton);
    c.aboutOkButton->SetHidden(true);
    return c;
}
