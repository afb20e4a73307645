#include "editor_fixture.h"
#include "graphics/value_entry.h"

#include <gtest/gtest.h>

namespace {

const IMouseMods kRight{false, true, false, false, false};

IParamRecord Continuous(double min, double max, double step, double value) {
    IParamRecord p;
    p.InitContinuous("P", value, min, max, step, "", "", 1.0);
    return p;
}

// A stepped choice of three display texts.
void MakeChoice(IParamRecord& p, int type = 3) {
    p.type = type;
    p.min = 0;
    p.max = 2;
    p.step = 1;
    p.AddDisplayText(0, "Low");
    p.AddDisplayText(1, "Mid");
    p.AddDisplayText(2, "High");
}

// A control the editor lets the right button through to (no parameter binding the host menu
// would take), but which asks for value entry of a parameter all the same.
class EntryControl : public ProbeControl {
  public:
    EntryControl(IEffectBase* plug, const IPixelRect& r, int idx) : ProbeControl(plug, r, idx) {
        SetPromptDisabled(false);
    }
};

} // namespace

TEST(ValueEntry, EntryTextFollowsPrecisionAndNegation) {
    struct Case {
        double value;
        int precision;
        bool negate;
        const char* text;
    } cases[] = {{0.5, 4, false, "0.5000"},
                 {-0.7, 0, false, "0"},
                 {3.0, 0, true, "-3"},
                 {2.5, 1, true, "-2.5"},
                 {1e12, 0, false, "2147483647"}};
    for (const Case& c : cases) {
        IParamRecord p;
        p.type = 4;
        p.value = c.value;
        p.displayPrecision = c.precision;
        p.negateDisplay = c.negate;
        EXPECT_EQ(FormatValueForEntry(p), c.text) << c.value;
    }
    // Display texts are not consulted for a typed entry.
    IParamRecord choice;
    MakeChoice(choice, 2);
    choice.value = 1;
    EXPECT_EQ(FormatValueForEntry(choice), "1");
}

TEST(ValueEntry, EnteredTextBecomesANormalisedValue) {
    IParamRecord range = Continuous(0.0, 10.0, 0.1, 5.0);
    IParamRecord negated = range;
    negated.negateDisplay = true;
    IParamRecord choice;
    MakeChoice(choice);
    struct Case {
        const IParamRecord* p;
        const char* text;
        double normalized;
    } cases[] = {
        {&range, "2.5", 0.25},     {&range, "2.5abc", 0.25},
        {&range, "abc", 0.0},      {&range, "", 0.0},
        {&range, "nan", 0.0},      {&range, "99", 1.0},
        {&negated, "-3", 0.3},     {&choice, "High", 1.0},
        {&choice, "Mid", 0.5},     {&choice, "high", 0.0},
        {&choice, "Nothing", 0.0}, {&range, "1234567890123456789012345678901234", 1.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(EnteredTextToNormalized(*c.p, c.text), c.normalized) << c.text;
}

TEST(ValueEntry, EntryFieldsLetThroughOnlyWhatTheParameterTakes) {
    IParamRecord free, stepped, continuous;
    stepped.type = 2;
    continuous.type = 4;
    struct Case {
        const IParamRecord* p;
        int ch;
        bool passes;
    } cases[] = {{nullptr, 'x', true},     {&free, 'x', true},       {&stepped, '5', true},
                 {&stepped, '-', true},    {&stepped, '.', false},   {&stepped, 'e', false},
                 {&continuous, '.', true}, {&continuous, '+', true}, {&continuous, ',', false},
                 {&stepped, '\b', true}};
    for (const Case& c : cases)
        EXPECT_EQ(EntryAcceptsCharacter(c.p, c.ch), c.passes) << char(c.ch);
}

TEST(ValueEntry, TypedValueIsCommittedOnTheNextTick) {
    EditorRig rig;
    rig.plug.GetParam(1)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.0001, "", "", 1.0);
    auto* c = rig.Add(new EntryControl(&rig.plug, {10, 10, 30, 30}, 1));
    rig.editor.Responder().AnswerTextEntry("0.25");
    c->ShowValueEntryForControl();
    ASSERT_EQ(rig.editor.Responder().asked.size(), 1u);
    const auto& q = rig.editor.Responder().asked[0];
    EXPECT_EQ(q.kind, "text");
    EXPECT_EQ(q.text, "0.5000");
    EXPECT_EQ(q.rect, IPixelRect(0, 12, 40, 28)); // 40 x 16 around the centre (20, 20)
    EXPECT_TRUE(rig.plug.fromUI.empty());
    EXPECT_TRUE(rig.editor.EntryOpen());

    rig.editor.ShowTextEntry(c, c->TextStyle(), {0, 0, 1, 1}, "x", nullptr); // one entry at a time
    EXPECT_EQ(rig.editor.Responder().asked.size(), 1u);

    EXPECT_FALSE(rig.editor.Tick()); // the commit tick draws nothing
    EXPECT_FALSE(rig.editor.EntryOpen());
    ASSERT_EQ(rig.plug.fromUI.size(), 1u);
    EXPECT_DOUBLE_EQ(rig.plug.fromUI[0].normalized, 0.25);
    EXPECT_DOUBLE_EQ(c->Value(), 0.25);

    // A cancelled entry changes nothing.
    c->ShowValueEntryForControl();
    rig.editor.Tick();
    EXPECT_EQ(rig.plug.fromUI.size(), 1u);
    // Free text goes to the control itself.
    rig.editor.Responder().AnswerTextEntry("hello world");
    rig.editor.ShowTextEntry(c, c->TextStyle(), {0, 0, 1, 1}, "", nullptr);
    rig.editor.Tick();
    EXPECT_EQ(c->calls.back(), "text hello w"); // cut to the entry length of 7
}

TEST(ValueEntry, ChoicesAreOfferedAsAMenuWithTheCurrentOneTicked) {
    EditorRig rig;
    MakeChoice(*rig.plug.GetParam(2));
    rig.plug.GetParam(2)->value = 1;
    auto* c = rig.Add(new EntryControl(&rig.plug, {10, 10, 30, 30}, 2));
    rig.editor.Responder().AnswerMenu(2);
    c->ShowValueEntryForControl();
    ASSERT_EQ(rig.editor.Responder().asked.size(), 1u);
    const auto& q = rig.editor.Responder().asked[0];
    EXPECT_EQ(q.kind, "menu");
    EXPECT_EQ(q.text, "Low|Mid|High");
    EXPECT_EQ(q.entryFlags, (std::vector<int>{0, IMenuEntry::kTicked, 0}));
    EXPECT_EQ(q.rect, IPixelRect(10, 10, 30, 30)); // with display texts: the control's rectangle
    ASSERT_EQ(rig.plug.fromUI.size(), 1u);
    EXPECT_DOUBLE_EQ(rig.plug.fromUI[0].normalized, 1.0);
    EXPECT_EQ(rig.plug.GetParam(2)->value, 2);

    c->ShowValueEntryForControl(); // dismissed: nothing
    EXPECT_EQ(rig.plug.fromUI.size(), 1u);
}

TEST(ValueEntry, NothingIsAskedWithoutAParameterOrWithThePromptOff) {
    EditorRig rig;
    auto* unbound = rig.Add(new EntryControl(&rig.plug, {0, 0, 10, 10}, -1));
    auto* promptOff = rig.Add(new ProbeControl(&rig.plug, {0, 0, 10, 10}, 1));
    auto* missing = rig.Add(new EntryControl(&rig.plug, {0, 0, 10, 10}, 99));
    unbound->ShowValueEntryForControl();
    promptOff->HandleMouseDown(5, 5, kRight);
    missing->ShowValueEntryForControl();
    rig.editor.ShowValueEntry(promptOff, rig.plug.GetParam(1), nullptr);
    rig.editor.ShowValueEntry(nullptr, rig.plug.GetParam(1), &promptOff->DrawRect());
    EXPECT_TRUE(rig.editor.Responder().asked.empty());
    EXPECT_TRUE(missing->RepaintAgain());
}
