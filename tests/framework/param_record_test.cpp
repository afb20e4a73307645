#include "framework/host_text.h"
#include "framework/param_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
IParamRecord Continuous(double min, double max, double step, double shape = 1.0, double def = 0.0) {
    IParamRecord p;
    p.InitContinuous("Gain", def, min, max, step, "dB", "", shape);
    return p;
}

IParamRecord Stepped(double min, double max, double step) {
    IParamRecord p; // never initialised: a stepped record
    p.min = min;
    p.max = max;
    p.step = step;
    return p;
}

std::u16string U16(const char* s) {
    std::u16string out;
    for (; *s; ++s)
        out.push_back(static_cast<unsigned char>(*s));
    return out;
}
} // namespace

TEST(ParamRecord, InitContinuousDerivesPrecisionFromStep) {
    struct Case {
        double step;
        int precision;
    } cases[] = {{1.0, 0}, {0.5, 1}, {0.0001, 4}, {0.01, 2}, {1e-9, 6}, {1.0 / 3.0, 6}};
    for (const Case& c : cases) {
        IParamRecord p = Continuous(0, 1, c.step);
        EXPECT_EQ(p.displayPrecision, c.precision) << "step " << c.step;
    }
    IParamRecord p = Continuous(-1, 3, 0.5, 2.0, 1.5);
    EXPECT_EQ(p.type, IParamRecord::kTypeContinuous);
    EXPECT_EQ(p.value, 1.5);
    EXPECT_EQ(p.defaultValue, 1.5);
    EXPECT_EQ(p.shape, 2.0);
    EXPECT_STREQ(p.label, "dB");

    IParamRecord already;
    already.type = 3; // a kind set earlier stays
    already.InitContinuous("a-name-that-is-much-longer-than-thirty-one-bytes", 0, 0, 1, 1, "", "", 1);
    EXPECT_EQ(already.type, 3);
    EXPECT_EQ(std::string(already.name).size(), 31u);
}

TEST(ParamRecord, ConversionFollowsShapeAndClampsAtTheEnds) {
    IParamRecord squared = Continuous(0, 1, 0.0001, 2.0);
    EXPECT_DOUBLE_EQ(squared.FromNormalized(0.5), 0.25);
    EXPECT_DOUBLE_EQ(squared.ToNormalized(0.25), 0.5);

    IParamRecord wide = Continuous(-10, 30, 0.1);
    EXPECT_DOUBLE_EQ(wide.ToNormalized(-50), 0.0);
    EXPECT_DOUBLE_EQ(wide.ToNormalized(99), 1.0);
    EXPECT_DOUBLE_EQ(wide.ToNormalized(10), 0.5);
    EXPECT_DOUBLE_EQ(wide.FromNormalized(0.25), 0.0);
    EXPECT_DOUBLE_EQ(wide.ToNormalized(std::nan("")), 0.0);
}

TEST(ParamRecord, SetNormalizedRoundsSteppedValuesOnly) {
    IParamRecord onOff = Stepped(0, 1, 1);
    onOff.SetNormalized(0.49);
    EXPECT_EQ(onOff.value, 0.0);
    onOff.SetNormalized(0.5);
    EXPECT_EQ(onOff.value, 1.0);

    IParamRecord steps = Stepped(0, 4, 2);
    steps.SetNormalized(0.74); // 2.96 -> nearest multiple of 2
    EXPECT_EQ(steps.value, 2.0);

    IParamRecord smooth = Continuous(0, 1, 0.0001);
    smooth.SetNormalized(0.123456789);
    EXPECT_DOUBLE_EQ(smooth.value, 0.123456789);
}

TEST(ParamRecord, HostValuesNeverLeaveTheRangeOrBecomeNonFinite) {
    const double inf = std::numeric_limits<double>::infinity();
    IParamRecord p = Continuous(-10, 10, 0.1, 1.0, 3.0);
    p.SetNormalized(std::nan(""));
    EXPECT_EQ(p.value, 3.0);
    p.SetNormalized(inf);
    EXPECT_EQ(p.value, 10.0);
    p.SetNormalized(-inf);
    EXPECT_EQ(p.value, -10.0);
    p.SetNormalized(-0.5);
    EXPECT_EQ(p.value, -10.0);
    p.SetNormalized(7.0);
    EXPECT_EQ(p.value, 10.0);

    p.SetClamped(std::nan(""));
    EXPECT_EQ(p.value, 10.0);
    p.SetClamped(-inf);
    EXPECT_EQ(p.value, -10.0);
    p.SetClamped(4.5);
    EXPECT_EQ(p.value, 4.5);
    p.SetClamped(40);
    EXPECT_EQ(p.value, 10.0);
}

TEST(ParamRecord, FormatsForHost) {
    IParamRecord fine = Continuous(0, 1, 0.0001);
    EXPECT_EQ(fine.FormatForHost(0.5, true), "0.5000");

    IParamRecord whole = Continuous(-5, 5, 1);
    EXPECT_EQ(whole.FormatForHost(-0.7, false), "0"); // truncated toward zero
    EXPECT_EQ(whole.FormatForHost(2.9, false), "2");
    whole.negateDisplay = true;
    EXPECT_EQ(whole.FormatForHost(3, false), "-3");
    EXPECT_EQ(whole.FormatForHost(1.0, true), "-5");

    IParamRecord big = Continuous(0, 1e300, 0.5);
    std::string text = big.FormatForHost(1.0, true);
    EXPECT_EQ(text.size(), 31u); // never more than the 32-byte buffer holds
    EXPECT_EQ(big.FormatForHost(std::nan(""), true), "nan");
}

TEST(ParamRecord, DisplayTextReplacesAWholeUnitAndEmptiesTheLabel) {
    IParamRecord p = Continuous(0, 5, 0.1);
    p.AddDisplayText(2, "two");
    EXPECT_EQ(p.FormatForHost(2.0, false), "two");
    EXPECT_EQ(p.FormatForHost(2.99, false), "two");
    EXPECT_EQ(p.FormatForHost(3.0, false), "3.0");
    EXPECT_EQ(p.FormatForHost(1.99, false), "2.0"); // looked up as 1, printed rounded
    p.value = 2.5;
    EXPECT_STREQ(p.HostLabel(), "");
    p.value = 3.5;
    EXPECT_STREQ(p.HostLabel(), "dB");
    EXPECT_STREQ(p.FindDisplayText(7), "");
}

TEST(ParamRecord, ParsesHostTextLikeAtof) {
    IParamRecord unit = Continuous(0, 1, 0.01);
    struct Case {
        const char* text;
        double normalized;
    } cases[] = {{"volume", 0.0}, {"", 0.0},    {"2.5dB", 1.0}, {"0.25", 0.25}, {"  0.75 x", 0.75},
                 {"-3", 0.0},     {"nan", 0.0}, {"1e5", 1.0},   {"1e-1", 0.1}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(unit.ParseFromHost(U16(c.text).c_str()), c.normalized) << c.text;

    IParamRecord squared = Continuous(0, 4, 0.01, 2.0);
    EXPECT_DOUBLE_EQ(squared.ParseFromHost(u"1"), 0.5);
    EXPECT_DOUBLE_EQ(unit.ParseFromHost(nullptr), 0.0);
}

TEST(HostText, WidensByteByByteAndAlwaysTerminates) {
    char16_t out[kHostTextUnits];
    WidenForHost("A\xe9z", out);
    EXPECT_EQ(out[0], u'A');
    EXPECT_EQ(out[1], 0xE9); // no code-page conversion
    EXPECT_EQ(out[2], u'z');
    EXPECT_EQ(out[3], 0);

    std::string longText(300, 'x');
    WidenForHost(longText.c_str(), out);
    EXPECT_EQ(out[126], u'x');
    EXPECT_EQ(out[127], 0);
}
