// The editor as the plug-in builds it: its rows, and what a click on each control does.
#include "app_fixture.h"
#include "support/engine_operations.h"

#include "graphics/bitmap_control.h"
#include "graphics/text_control.h"
#include "plugin/editor_controls.h"
#include "plugin/parameter_table.h"
#include "plugin/response_display.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "raster/mem_bitmap.h"

namespace {

struct Row {
    IPixelRect rect;
    int param;
    bool hidden;
};

} // namespace

TEST_F(EditorApp, RowsInOrderWithTheirRectanglesParametersAndVisibility) {
    namespace R = editor_rect;
    const Row rows[] = {
        {{0, 0, 730, 330}, -1, false},
        {R::kInputs, kParamInputs, false},
        {R::kOutputs, kParamOutputs, false},
        {R::kResolution, kParamResolution, false},
        {R::kGain, kParamGain, false},
        {R::kStart, kParamStart, false},
        {R::kSave, kParamSave, false},
        {R::kLoad, kParamLoad, false},
        {R::kHelp, kParamHelp, false},
        {R::kAbout, kParamAbout, false},
        {R::kReset, kParamReset, false},
        {R::kProgress, kParamProgress, true},
        {R::kAnalysisTrigger, -1, false},
        {R::kDisplay, kParamDisplay, false},
        {R::kAboutBox, -1, true},
        {{275, 91, 0, 0}, -1, true},
        {R::kAboutOk, kParamAboutOk, true},
    };
    // Without a calibration file there is no label row.
    ASSERT_EQ(editor->NControls(), 17);
    for (int i = 0; i < 17; ++i) {
        const IControl* c = editor->GetControl(i);
        if (i == 15) {
            // The version text covers what it draws, from the anchor of its box on.
            EXPECT_EQ(c->DrawRect().left, R::kAboutVersion.left);
            EXPECT_EQ(c->DrawRect().top, R::kAboutVersion.top);
            EXPECT_GE(c->DrawRect().right, R::kAboutVersion.right);
            EXPECT_GT(c->DrawRect().bottom, R::kAboutVersion.bottom);
        } else {
            EXPECT_EQ(c->DrawRect(), rows[i].rect) << "row " << i;
        }
        EXPECT_EQ(c->ParamIdx(), rows[i].param) << "row " << i;
        EXPECT_EQ(c->IsHidden(), rows[i].hidden) << "row " << i;
    }
    const MicCorrectorControls& c = Controls();
    EXPECT_EQ(c.calibrationLabel, nullptr);
    EXPECT_EQ(c.inputsSelector, editor->GetControl(1));
    EXPECT_EQ(c.gainFader, editor->GetControl(4));
    EXPECT_EQ(c.progressBar, editor->GetControl(11));
    EXPECT_EQ(c.analysisTrigger, editor->GetControl(12));
    EXPECT_EQ(c.responseDisplay, editor->GetControl(13));
    EXPECT_EQ(c.aboutOkButton, editor->GetControl(16));
    EXPECT_EQ(c.aboutVersionText->Text(), "2.0.3");
    EXPECT_EQ(c.analysisTrigger->Value(), 0.0);
    EXPECT_EQ(c.analysisTrigger->DefaultValue(), 0.0);
    // The radio marks stack 16 pixels high with a gap of one.
    EXPECT_EQ(c.outputsSelector->Button(1), IPixelRect(521, 189, 543, 205));
    EXPECT_EQ(c.outputsSelector->Button(2), IPixelRect(521, 206, 543, 222));
    EXPECT_EQ(c.resolutionSelector->Button(1), IPixelRect(521, 259, 543, 275));
    EXPECT_EQ(static_cast<IBitmapControl*>(c.progressBar)->Strip().Frames(), 21);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(EditorApp, CalibrationLabelEndsAtColumn480) {
    const std::filesystem::path frd = std::filesystem::path(fx->DocumentsFolder()) / "studio mic.frd";
    std::ofstream(frd) << "100 0\n10000 3\n";
    IMicCorrector* withCal = new IMicCorrector(CreateHeadlessEditor);
    std::filesystem::remove(frd);
    const ITextControl* label = withCal->Controls().calibrationLabel;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(withCal->Editor()->NControls(), 18);
    EXPECT_EQ(withCal->Editor()->GetControl(1), label);
    EXPECT_EQ(label->Text(), "studio mic.frd");
    // Right-aligned at column 480 from row 21; the control reaches down as far as the text does.
    EXPECT_EQ(label->DrawRect().right, 480);
    EXPECT_EQ(label->DrawRect().top, 21);
    EXPECT_EQ(label->DrawRect().left, 150);
    EXPECT_GT(label->DrawRect().bottom, 29);
    IMicCorrector* shown = withCal;
    auto* screen = static_cast<IGraphicsHeadless*>(shown->Editor());
    screen->AttachToParent(this);
    screen->TickUntilClean();
    int inkBelowBox = 0; // the lower half of the letters is drawn, not cut at the box
    for (int y = 30; y < label->DrawRect().bottom; ++y)
        for (int x = 300; x < 480; ++x)
            inkBelowBox += (screen->Presented()->Row(y)[x] & 0xff) > 150;
    EXPECT_GT(inkBelowBox, 20);
    screen->DetachWindow();
    ITextStyle style = const_cast<ITextControl*>(label)->TextStyle();
    EXPECT_EQ(style.alignment, ITextStyle::kFar);
    EXPECT_EQ(style.style, ITextStyle::kBold);
    EXPECT_EQ(style.size, 16);
    EXPECT_EQ(style.textColour, IArgbColor(255, 220, 220, 220));
    withCal->release();
}

TEST_F(EditorApp, InputSelectorSwapsOnEveryClickWithoutRedesigning) {
    const int passes = Engine().Snapshot().designPasses;
    ClickCentre(editor_rect::kInputs);
    EXPECT_EQ(Engine().Snapshot().inputSelection, 1.0);
    EXPECT_EQ(Param(kParamInputs), 1.0);
    EXPECT_EQ(static_cast<IBitmapControl*>(Controls().inputsSelector)->FrameForValue(), 2);
    Click(640, 110); // a double-click steps too
    editor->MouseDoubleClick(640, 110, IMouseMods{true, false, false, false, false});
    EXPECT_EQ(Engine().Snapshot().inputSelection, 1.0);
    ClickCentre(editor_rect::kInputs);
    EXPECT_EQ(Engine().Snapshot().inputSelection, 0.0);
    EXPECT_EQ(Engine().Snapshot().designPasses, passes);
}

TEST_F(EditorApp, RadioGroupsSelectActOnAMissAndIgnoreTheRightButton) {
    const MicCorrectorControls& c = Controls();
    struct Case {
        int x, y;
        double outputs;
    } cases[] = {{530, 214, 1.0}, {530, 197, 0.5}, {530, 180, 0.0}, {542, 221, 1.0}};
    for (const Case& k : cases) {
        Click(k.x, k.y);
        EXPECT_EQ(Param(kParamOutputs), k.outputs) << k.y;
        EXPECT_EQ(Engine().Snapshot().outputSelection, k.outputs) << k.y;
    }
    // A value only shown on the marks and stored in the record does not reach the engine...
    fx->GetParam(kParamOutputs)->SetClamped(0.5);
    c.outputsSelector->ApplyHostValue(0.5);
    EXPECT_EQ(Engine().Snapshot().outputSelection, 1.0);
    // ...a right click on a mark does not act...
    Click(530, 180, true);
    EXPECT_EQ(Engine().Snapshot().outputSelection, 1.0);
    EXPECT_EQ(c.outputsSelector->Value(), 0.5);
    // ...and a click in the gap between two marks keeps the selection but acts on it.
    Click(530, 188);
    EXPECT_EQ(c.outputsSelector->Value(), 0.5);
    EXPECT_EQ(Engine().Snapshot().outputSelection, 0.5);

    Click(530, 267);
    EXPECT_EQ(Engine().Snapshot().resolution, 1.0);
    EXPECT_EQ(Engine().Snapshot().cascadeSections, 120);
    Click(530, 250);
    EXPECT_EQ(Engine().Snapshot().resolution, 0.0);
    EXPECT_EQ(Engine().Snapshot().cascadeSections, 33);
}

TEST_F(EditorApp, FaderSnapsDragsWheelsAndReturnsToItsDefault) {
    IMouseMods left{true, false, false, false, false};
    // The handle's centre follows the pointer: (x - 621 - 6) / 72.
    editor->MouseDown(663, 197, left);
    EXPECT_DOUBLE_EQ(Param(kParamGain), 0.5);
    editor->MouseDrag(600, 197, left);
    editor->MouseUp(600, 197, left);
    EXPECT_EQ(Param(kParamGain), 0.0);
    EXPECT_DOUBLE_EQ(Engine().Snapshot().gainFactor, 0.1);
    editor->MouseDoubleClick(650, 197, left);
    EXPECT_DOUBLE_EQ(Param(kParamGain), 0.5);
    EXPECT_DOUBLE_EQ(Engine().Snapshot().gainFactor, 1.0);
    editor->MouseWheel(650, 197, IMouseMods{}, 3);
    EXPECT_NEAR(Param(kParamGain), 0.53, 1e-12);
    editor->MouseWheel(650, 197, IMouseMods{false, false, true, false, false}, -2);
    EXPECT_NEAR(Param(kParamGain), 0.528, 1e-12);
    editor->MouseWheel(650, 197, IMouseMods{false, false, false, true, false}, 1);
    EXPECT_NEAR(Param(kParamGain), 0.529, 1e-12);
    EXPECT_NEAR(Engine().Snapshot().gainFactor, std::pow(10.0, (0.529 - 0.5) * 2.0), 1e-9);
    editor->MouseDown(700, 197, left);
    editor->MouseDrag(900, 197, left); // far beyond the track's end: clamped
    editor->MouseUp(900, 197, left);
    EXPECT_EQ(Param(kParamGain), 1.0);
}

TEST_F(EditorApp, ButtonsActFirstThenToggleTheirOwnParameter) {
    namespace R = editor_rect;
    const struct {
        IPixelRect rect;
        int param;
    } buttons[] = {{R::kStart, kParamStart}, {R::kSave, kParamSave},   {R::kLoad, kParamLoad},
                   {R::kHelp, kParamHelp},   {R::kAbout, kParamAbout}, {R::kReset, kParamReset}};
    dialogs.shellResult = kShellOpened;
    for (const auto& b : buttons) {
        ClickCentre(b.rect);
        EXPECT_EQ(Param(b.param), 1.0) << b.param;
        ClickCentre(b.rect);
        EXPECT_EQ(Param(b.param), 0.0) << b.param;
    }
    // Start twice without audio, Save and Load twice each asked for a file, Help opened twice.
    EXPECT_EQ(dialogs.requests.size(), 4u);
    EXPECT_EQ(dialogs.opened.size(), 2u);
}

TEST_F(EditorApp, AboutBoxShowsOverTheDisplayAndItsOkHidesIt) {
    const MicCorrectorControls& c = Controls();
    ClickCentre(editor_rect::kAbout);
    EXPECT_FALSE(c.aboutPicture->IsHidden());
    EXPECT_FALSE(c.aboutVersionText->IsHidden());
    EXPECT_FALSE(c.aboutOkButton->IsHidden());
    // The OK button lies on top of the display, so it takes the click.
    ClickCentre(editor_rect::kAboutOk);
    EXPECT_TRUE(c.aboutPicture->IsHidden());
    EXPECT_TRUE(c.aboutVersionText->IsHidden());
    EXPECT_TRUE(c.aboutOkButton->IsHidden());
    EXPECT_EQ(Param(kParamAboutOk), 1.0);
}

TEST_F(EditorApp, ActionsWithoutMeaningDoNothing) {
    const CorrectionEngine& e = Engine();
    const double before[] = {e.Snapshot().inputSelection, e.Snapshot().outputSelection,
                             e.Snapshot().resolution, e.Snapshot().gainPosition};
    for (int idx : {3, 9, 11, 12, 13, 15, -1, 1000})
        fx->DoParameterAction(idx);
    const double after[] = {e.Snapshot().inputSelection, e.Snapshot().outputSelection,
                            e.Snapshot().resolution, e.Snapshot().gainPosition};
    EXPECT_TRUE(std::equal(std::begin(before), std::end(before), std::begin(after)));
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(EditorApp, ResetFlattensTheDrawnCurveAndRedesigns) {
    CorrectionSettings drawn = CorrectionInForce(Engine());
    drawn.userCurve.fill(2.0);
    Engine().ApplyCorrection(drawn);
    Click(530, 214); // corrected target: the wanted response is the drawn curve
    EXPECT_EQ(Engine().Snapshot().curveDesired[5], 2.0);
    ClickCentre(editor_rect::kReset);
    for (double v : Engine().Snapshot().userCurve)
        ASSERT_EQ(v, 1.0);
    EXPECT_EQ(Engine().Snapshot().curveDesired[5], 1.0);
}

TEST_F(EditorApp, DrawingTheWantedResponseFreehandAndAsAStraightLine) {
    Click(530, 214); // corrected target: the display takes drawing
    IMouseMods left{true, false, false, false, false}, right{false, true, false, false, false};
    editor->MouseDown(50, 11, left); // first band, top row: +20 dB
    EXPECT_DOUBLE_EQ(Engine().Snapshot().userCurve[0], 10.0);
    editor->MouseDrag(50, 306, left);
    EXPECT_DOUBLE_EQ(Engine().Snapshot().userCurve[0], 0.1);
    editor->MouseUp(50, 306, left);

    // The display carries no host parameter, so its right button is its own: press at the left
    // edge, drag to the right edge, and the whole curve becomes one straight line in decibels.
    editor->MouseDown(50, 11, right);
    editor->MouseDrag(486, 306, right);
    editor->MouseUp(486, 306, right);
    const auto curve = Engine().Snapshot().userCurve;
    EXPECT_DOUBLE_EQ(curve[0], 10.0);
    EXPECT_DOUBLE_EQ(curve[32], 0.1);
    for (int i = 1; i < 32; ++i)
        EXPECT_NEAR(std::log10(curve[i]), 1.0 - 2.0 * i / 32.0, 1e-12) << i;
    EXPECT_EQ(Engine().Snapshot().curveDesired[16], curve[16]); // redesigned on release
}
