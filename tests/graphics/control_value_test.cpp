#include "editor_fixture.h"
#include "graphics/text_control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

} // namespace

TEST(ControlValue, FirstHostValueBecomesTheDefaultWithoutMarking) {
    RecordingPlug plug;
    ProbeControl c(&plug, {0, 0, 10, 10}, 1);
    EXPECT_TRUE(c.NeedsRepaint()); // dirty from construction
    c.MarkClean();
    c.ApplyHostValue(0.3);
    EXPECT_EQ(c.Value(), 0.3);
    EXPECT_EQ(c.DefaultValue(), 0.3);
    EXPECT_FALSE(c.NeedsRepaint());

    c.ApplyHostValue(0.3); // unchanged: nothing
    EXPECT_FALSE(c.NeedsRepaint());
    c.ApplyHostValue(0.7);
    EXPECT_EQ(c.Value(), 0.7);
    EXPECT_EQ(c.DefaultValue(), 0.3);
    EXPECT_TRUE(c.NeedsRepaint());
    // Repaint-again keeps it dirty through one more paint.
    c.MarkClean();
    EXPECT_TRUE(c.NeedsRepaint());
    c.MarkClean();
    EXPECT_FALSE(c.NeedsRepaint());
    EXPECT_TRUE(plug.fromUI.empty()); // host values never echo back
}

TEST(ControlValue, NonFiniteHostValuesAreClampedNeverStored) {
    struct Case {
        double first, later;
        double value, defaultValue;
    } cases[] = {
        {kNaN, 0.2, 0.2, 1.0}, {kInf, 0.2, 0.2, 1.0},  {-kInf, 0.2, 0.2, 0.0},
        {0.4, kNaN, 1.0, 0.4}, {0.4, -kInf, 0.0, 0.4}, {0.4, 7.0, 1.0, 0.4},
    };
    RecordingPlug plug;
    for (const Case& k : cases) {
        ProbeControl c(&plug, {0, 0, 10, 10}, 0);
        c.ApplyHostValue(k.first);
        c.ApplyHostValue(k.later);
        EXPECT_EQ(c.Value(), k.value) << k.first << " then " << k.later;
        EXPECT_EQ(c.DefaultValue(), k.defaultValue) << k.first << " then " << k.later;
    }
    ProbeControl aux(&plug, {0, 0, 10, 10}, 0);
    aux.AddAuxParam(2);
    aux.ApplyHostAuxValue(0, kNaN);
    EXPECT_TRUE(std::isfinite(aux.GetAuxParam(0)->value));
    aux.ApplyHostAuxValue(5, 0.5); // no such binding: ignored
    aux.ApplyHostAuxValue(-1, 0.5);
}

TEST(ControlValue, UserValuesClampAndReachThePlugIn) {
    RecordingPlug plug;
    ProbeControl c(&plug, {0, 0, 10, 10}, 2);
    c.ApplyUserValue(1.5);
    EXPECT_EQ(c.Value(), 1.0);
    c.ApplyUserValue(-0.5);
    EXPECT_EQ(c.Value(), 0.0);
    c.ApplyUserValue(0.25);
    c.ApplyUserValue(0.25); // unchanged: not pushed again
    ASSERT_EQ(plug.fromUI.size(), 3u);
    EXPECT_EQ(plug.fromUI[0].paramIdx, 2);
    EXPECT_EQ(plug.fromUI[0].normalized, 1.0);
    EXPECT_EQ(plug.fromUI[2].normalized, 0.25);
    EXPECT_DOUBLE_EQ(plug.GetParam(2)->value, 0.25);

    c.SetClamp(0.2, 0.6);
    c.ApplyUserValue(0.9);
    EXPECT_EQ(c.Value(), 0.6);

    ProbeControl unbound(&plug, {0, 0, 10, 10}, -1);
    unbound.ApplyUserValue(0.5);
    EXPECT_EQ(plug.fromUI.size(), 4u);
}

TEST(ControlValue, DisplaysShowTheParameterValueLabelAndName) {
    RecordingPlug plug;
    plug.GetParam(1)->InitContinuous("Gain", 0.0, -12.0, 12.0, 0.1, "dB", "", 1.0);
    ProbeControl c(&plug, {0, 0, 10, 10}, 1);
    ITextControl valueText(&plug, {0, 0, 40, 10}, ITextStyle());
    ITextControl nameText(&plug, {0, 0, 40, 10}, ITextStyle());
    c.SetValueDisplay(&valueText);
    c.SetNameDisplay(&nameText);
    c.ApplyUserValue(0.75);
    EXPECT_EQ(valueText.Text(), "6.0 dB");
    EXPECT_EQ(nameText.Text(), "Gain");

    plug.GetParam(1)->AddDisplayText(6, "six");
    c.ApplyUserValue(0.76);
    EXPECT_EQ(valueText.Text(), "six "); // a display text empties the host label
}

TEST(ControlValue, HiddenAndDisabledState) {
    RecordingPlug plug;
    ProbeControl c(&plug, {0, 0, 10, 10}, 0);
    c.MarkClean();
    c.SetDisabled(true);
    EXPECT_TRUE(c.IsDisabled());
    EXPECT_FLOAT_EQ(c.Blend().weight, 0.25f);
    EXPECT_TRUE(c.NeedsRepaint());
    c.SetDisabled(false);
    EXPECT_FLOAT_EQ(c.Blend().weight, 1.0f);

    c.MarkClean();
    c.SetHidden(true);
    EXPECT_TRUE(c.IsHidden());
    c.MarkClean(); // hiding keeps the control dirty one cycle more so its old area is repainted
    EXPECT_TRUE(c.NeedsRepaint());
    EXPECT_TRUE(plug.fromUI.empty());
}

TEST(ControlValue, DoubleClickRestoresTheDefaultOnlyWhenThereIsOne) {
    RecordingPlug plug;
    ProbeControl c(&plug, {0, 0, 10, 10}, 0);
    c.SetValue(0.8);
    c.HandleDoubleClick(1, 1, {});
    EXPECT_EQ(c.Value(), 0.8);
    EXPECT_TRUE(plug.fromUI.empty());

    c.ApplyHostValue(0.5);
    c.ApplyUserValue(0.9);
    c.HandleDoubleClick(1, 1, {});
    EXPECT_EQ(c.Value(), 0.5);
    EXPECT_EQ(plug.fromUI.back().normalized, 0.5);
}

TEST(ControlValue, TextControlMarksOnlyRealChanges) {
    RecordingPlug plug;
    ITextControl t(&plug, {0, 0, 40, 10}, ITextStyle(), "abc");
    t.MarkClean();
    t.SetText("abc");
    EXPECT_FALSE(t.NeedsRepaint());
    t.SetText("abd");
    EXPECT_TRUE(t.NeedsRepaint());
    EXPECT_EQ(t.Text(), "abd");
}

TEST(EditorLink, ParameterValuesReachBoundControlsAndTheirFirstAuxBinding) {
    RecordingPlug plug;
    plug.GetParam(1)->InitContinuous("Gain", 0.0, -10.0, 10.0, 0.1, "dB", "", 1.0);
    auto editor = std::make_unique<TestEditor>(&plug, 40, 30, 25);
    auto* bound = new ProbeControl(&plug, {0, 0, 10, 10}, 1);
    auto* watcher = new ProbeControl(&plug, {10, 0, 20, 10}, 0);
    watcher->AddAuxParam(3);
    watcher->AddAuxParam(1);
    watcher->AddAuxParam(1);
    editor->AddControl(bound);
    editor->AddControl(watcher);
    TestEditor* g = editor.get();

    // Attaching hands every control its parameter's normalised value and readies the surfaces.
    plug.GetParam(1)->value = 5.0;
    plug.AttachGraphics(std::move(editor));
    EXPECT_EQ(bound->Value(), 0.75);
    EXPECT_EQ(bound->DefaultValue(), 0.75);
    EXPECT_EQ(watcher->GetAuxParam(1)->value, 0.75);
    EXPECT_EQ(watcher->GetAuxParam(2)->value, 0.0);
    ASSERT_NE(g->DrawSurface(), nullptr);
    EXPECT_EQ(g->DrawSurface()->Width(), 40);
    EXPECT_TRUE(plug.fromUI.empty());

    // Redrawing parameter controls pushes plain values, converted on the way.
    plug.GetParam(1)->value = -10.0;
    plug.RedrawParamControls();
    EXPECT_EQ(bound->Value(), 0.0);
    EXPECT_EQ(watcher->GetAuxParam(1)->value, 0.0);
    g->PushParamToControls(1, 0.25, true);
    EXPECT_EQ(bound->Value(), 0.25);
    g->PushParamToControls(1, std::numeric_limits<double>::quiet_NaN(), true);
    EXPECT_TRUE(std::isfinite(bound->Value()));
    EXPECT_TRUE(std::isfinite(watcher->GetAuxParam(1)->value));
    g->PushParamToControls(1, std::numeric_limits<double>::quiet_NaN(), false);
    EXPECT_TRUE(std::isfinite(bound->Value()));
    g->PushParamToControls(99, 0.5, false); // no such parameter
    g->PushParamToControls(-1, 0.5, true);
    EXPECT_TRUE(plug.fromUI.empty());

    g->Tick(); // no window yet: nothing drawn
    bound->MarkClean();
    watcher->MarkClean();
    g->MarkAllControlsDirty();
    EXPECT_TRUE(bound->NeedsRepaint() && watcher->NeedsRepaint());
}
