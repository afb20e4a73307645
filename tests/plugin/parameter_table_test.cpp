#include "plugin/parameter_table.h"

#include "framework/effect_base.h"
#include "graphics/radio_buttons_control.h"
#include "support/effect_facts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

EffectFacts Facts(int params) {
    return StereoEffectFacts(params, "Tessivane Vorelline");
}

TEST(ParameterTable, FifteenParametersAsDefined) {
    IEffectBase effect(Facts(kMicCorrectorParamCount));
    DefineMicCorrectorParameters(effect);
    ASSERT_EQ(effect.NParams(), 15);

    struct Row {
        int index;
        const char* name;
        double step, defaultValue;
        int precision;
    };
    const Row rows[] = {
        {0, "Inputs", 1, 0, 0},      {1, "Outputs", 0.5, 0, 1}, {2, "Resolution", 1, 0, 0},
        {3, "Gain", 0.0001, 0.5, 4}, {4, "Start", 1, 0, 0},     {5, "Save", 1, 0, 0},
        {6, "Load", 1, 0, 0},        {7, "Help", 1, 0, 0},      {8, "About", 1, 0, 0},
        {14, "Reset", 1, 0, 0},
    };
    for (const Row& r : rows) {
        const IParamRecord* p = effect.GetParam(r.index);
        SCOPED_TRACE(r.name);
        EXPECT_STREQ(p->name, r.name);
        EXPECT_EQ(p->type, IParamRecord::kTypeContinuous);
        EXPECT_EQ(p->min, 0.0);
        EXPECT_EQ(p->max, 1.0);
        EXPECT_EQ(p->step, r.step);
        EXPECT_EQ(p->defaultValue, r.defaultValue);
        EXPECT_EQ(p->value, r.defaultValue);
        EXPECT_EQ(p->shape, 1.0);
        EXPECT_EQ(p->displayPrecision, r.precision);
        EXPECT_STREQ(p->label, "");
        EXPECT_STREQ(p->group, "");
    }
    for (int i = 9; i <= 13; ++i) {
        const IParamRecord* p = effect.GetParam(i);
        EXPECT_EQ(p->type, IParamRecord::kTypeNone) << i;
        EXPECT_STREQ(p->name, "") << i;
        EXPECT_TRUE(p->IsStepped()) << i;
    }
    EXPECT_EQ(effect.GetParam(kParamGain)->FormatForHost(0.5, true), "0.5000");
    EXPECT_EQ(effect.GetParam(kParamOutputs)->FormatForHost(0.5, true), "0.5");
}

// A host may set a selection anywhere between its choices; the value stands for the button the
// editor shows for it (Inputs is a two-frame button, which picks its frame the same way).
TEST(ParameterTable, SelectionValuesStandForTheButtonTheEditorShows) {
    IEffectBase effect(Facts(kMicCorrectorParamCount));
    const struct {
        int param, buttons;
    } selections[] = {{kParamInputs, 2}, {kParamOutputs, 3}, {kParamResolution, 2}};
    for (const auto& s : selections) {
        IRadioButtonsControl group(&effect, {0, 0, 10, 100}, s.param, s.buttons, IImageStrip{});
        for (int i = -4; i <= 68; ++i) {
            const double v = i / 64.0;
            group.SetValue(v);
            EXPECT_EQ(NearestChoice(s.param, v), group.ValueForButton(group.SelectedButton()))
                << "parameter " << s.param << ", value " << v;
        }
    }
    EXPECT_EQ(NearestChoice(kParamOutputs, 0.4), 0.5);
    EXPECT_EQ(NearestChoice(kParamOutputs, 0.75), 1.0);
    EXPECT_EQ(NearestChoice(kParamResolution, 0.49), 0.0);
    EXPECT_EQ(NearestChoice(kParamGain, 0.37), 0.37) << "not a selection";
    EXPECT_TRUE(std::isnan(NearestChoice(kParamOutputs, std::nan(""))));
}

TEST(ParameterTable, TooFewRecordsLeftAlone) {
    IEffectBase effect(Facts(4));
    DefineMicCorrectorParameters(effect);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(effect.GetParam(i)->type, IParamRecord::kTypeNone);
}

} // namespace
