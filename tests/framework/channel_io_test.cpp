#include "test_effect.h"

#include <gtest/gtest.h>

TEST(ChannelIO, ParsesPairsAndSizesChannels) {
    TestEffect fx;
    ASSERT_EQ(fx.ChannelIO().size(), 2u);
    EXPECT_EQ(fx.ChannelIO()[0].inputs, 1);
    EXPECT_EQ(fx.ChannelIO()[1].outputs, 2);
    EXPECT_EQ(fx.NInChannels(), 2);
    EXPECT_EQ(fx.NOutChannels(), 2);

    struct Case {
        int in, out;
        bool legal;
    } cases[] = {{2, 2, true},  {1, 1, true},  {-1, 2, true}, {-1, -1, true},
                 {2, 1, false}, {1, 2, false}, {0, 0, false}, {3, -1, false}};
    for (const Case& c : cases)
        EXPECT_EQ(fx.LegalIO(c.in, c.out), c.legal) << c.in << "/" << c.out;
}

TEST(ChannelIO, OddTextsGiveZerosNotCrashes) {
    IEffectBase odd(EffectFacts{0, "x-3 4", 0, "", "", "", 0, 0, 0});
    ASSERT_EQ(odd.ChannelIO().size(), 2u);
    EXPECT_EQ(odd.ChannelIO()[0].inputs, 0);
    EXPECT_EQ(odd.ChannelIO()[1].inputs, 4);
    EXPECT_EQ(odd.ChannelIO()[1].outputs, 0);
    EXPECT_EQ(odd.NInChannels(), 4);
    EXPECT_EQ(odd.NOutChannels(), 0);

    IEffectBase none(EffectFacts{});
    EXPECT_EQ(none.NInChannels(), 0);
    EXPECT_FALSE(none.LegalIO(1, 1));
}

TEST(HostIdentification, FirstEntryInTableOrderWins) {
    struct Case {
        const char* name;
        int32_t id;
    } cases[] = {{"REAPER", kHostReaper},      {"Cubase LE AI Elements", kHostCubase},
                 {"Live", kHostLive},          {"Studio One", kHostUnknown},
                 {"Cubase Live", kHostCubase}, {"VST3PluginTestHost", kHostVst3TestHost},
                 {"Ardour", kHostArdour},      {"", kHostUnknown},
                 {nullptr, kHostUnknown}};
    for (const Case& c : cases)
        EXPECT_EQ(IEffectBase::IdentifyHost(c.name), c.id) << (c.name ? c.name : "null");

    std::string longName(400, 'a');
    longName += "reaper"; // beyond the 255 characters looked at
    EXPECT_EQ(IEffectBase::IdentifyHost(longName.c_str()), kHostUnknown);
}

TEST(FourCharCodes, FirstCharacterIsMostSignificant) {
    EXPECT_EQ(FourCharCode("prst"), 0x70727374);
    EXPECT_EQ(FourCharCode("bpas"), 0x62706173);
}
