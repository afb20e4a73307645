// Host state through the binary interface: the component's record, the controller's record with
// its 4-byte bypass tail (each followed by the plug-in's trailer), and streams that deliver too
// little or nonsense.
#include "vst3/host/shared_host.h"

#include <algorithm>
#include <cstring>
#include <limits>

using namespace vst;

namespace {
constexpr ParamID kBypass = 0x62706173;

void SetBypass(Instance& in, bool on) {
    ParameterChanges changes;
    changes.Add(kBypass, {{0, on ? 1.0 : 0.0}});
    ProcessData data{};
    data.symbolicSampleSize = kSample32;
    data.inputParameterChanges = &changes;
    in.processor->process(data);
}

std::vector<unsigned char> ComponentState(Instance& in) {
    MemoryStream s;
    EXPECT_EQ(in.component->getState(&s), kResultOk);
    return s.data;
}

// How many bytes of a component state are the record: the trailer after it starts with its tag.
std::size_t RecordSize(const std::vector<unsigned char>& state) {
    static const unsigned char tag[4] = {'T', 'V', 'Q', 'X'};
    const auto at = std::search(state.begin(), state.end(), tag, tag + 4);
    EXPECT_NE(at, state.end()) << "no trailer";
    return static_cast<std::size_t>(at - state.begin());
}

// The component state without its trailer: what an older project holds.
std::vector<unsigned char> RecordOf(Instance& in) {
    std::vector<unsigned char> state = ComponentState(in);
    state.resize(RecordSize(state));
    return state;
}
} // namespace

TEST(HostState, ControllerStateIsTheRecordPlusTheBypassFlag) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    const std::vector<unsigned char> component = ComponentState(in);
    const std::vector<unsigned char> record = RecordOf(in);
    ASSERT_GE(record.size(), 15u * 8u);
    for (bool bypass : {true, false}) {
        SetBypass(in, bypass);
        MemoryStream s;
        ASSERT_EQ(in.controller->getState(&s), kResultOk);
        ASSERT_EQ(s.data.size(), component.size() + 4);
        // The same trailer follows the flag.
        EXPECT_EQ(std::memcmp(s.data.data() + record.size() + 4, component.data() + record.size(),
                              component.size() - record.size()),
                  0);
        EXPECT_EQ(std::memcmp(s.data.data(), record.data(), record.size()), 0);
        const unsigned char tail[4] = {static_cast<unsigned char>(bypass ? 1 : 0), 0, 0, 0};
        EXPECT_EQ(std::memcmp(s.data.data() + record.size(), tail, 4), 0);
    }
    // The parameter values are the record's last 8 bytes each, in index order.
    double gain = 0;
    std::memcpy(&gain, record.data() + record.size() - 15 * 8 + 3 * 8, 8);
    EXPECT_DOUBLE_EQ(gain, 0.5);
}

// Bypass switched on by either door, saved with the project, switched off, and the project loaded
// again: the controller shows bypass on, and the controller state's tail says so.
TEST(HostState, BypassComesBackWithTheControllerState) {
    REQUIRE_MODULE();
    TestHostApplication app;
    for (bool throughController : {true, false}) {
        SCOPED_TRACE(throughController ? "set on the controller" : "set in a parameter queue");
        Instance in(SharedHost(), &app);
        if (throughController)
            ASSERT_EQ(in.controller->setParamNormalized(kBypass, 1.0), kResultOk);
        else
            SetBypass(in, true);
        ASSERT_DOUBLE_EQ(in.controller->getParamNormalized(kBypass), 1.0);
        MemoryStream component, controller;
        ASSERT_EQ(in.component->getState(&component), kResultOk);
        ASSERT_EQ(in.controller->getState(&controller), kResultOk);
        ASSERT_EQ(controller.data.size(), component.data.size() + 4);
        EXPECT_EQ(controller.data[RecordSize(component.data)], 1);

        ASSERT_EQ(in.controller->setParamNormalized(kBypass, 0.0), kResultOk);
        SetBypass(in, false);
        EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(kBypass), 0.0);
        ASSERT_EQ(in.component->setState(&component), kResultOk);
        ASSERT_EQ(in.controller->setState(&controller), kResultOk);
        EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(kBypass), 1.0);
    }
}

TEST(HostState, RoundTripToAnotherInstance) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance from(SharedHost(), &app);
    from.controller->setParamNormalized(3, 0.125);
    from.controller->setParamNormalized(1, 1.0);
    SetBypass(from, true);
    MemoryStream component, controller;
    ASSERT_EQ(from.component->getState(&component), kResultOk);
    ASSERT_EQ(from.controller->getState(&controller), kResultOk);

    Instance to(SharedHost(), &app);
    ASSERT_EQ(to.component->setState(&component), kResultOk);
    EXPECT_DOUBLE_EQ(to.controller->getParamNormalized(3), 0.125);
    EXPECT_DOUBLE_EQ(to.controller->getParamNormalized(1), 1.0);
    EXPECT_DOUBLE_EQ(to.controller->getParamNormalized(kBypass), 0.0);
    EXPECT_EQ(ComponentState(to), component.data);

    Instance third(SharedHost(), &app);
    ASSERT_EQ(third.controller->setState(&controller), kResultOk);
    EXPECT_DOUBLE_EQ(third.controller->getParamNormalized(3), 0.125);
    EXPECT_DOUBLE_EQ(third.controller->getParamNormalized(kBypass), 1.0);
    // The component's state slot does not take the controller's, and vice versa: each reads its own record.
    EXPECT_EQ(ComponentState(third), component.data);
}

TEST(HostState, ShortEmptyAndNonsenseStreamsAreReportedAndNeverCorrupt) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance source(SharedHost(), &app);
    source.controller->setParamNormalized(3, 0.125);
    const std::vector<unsigned char> record = RecordOf(source);
    const std::size_t n = record.size();

    { // nothing at all
        Instance in(SharedHost(), &app);
        MemoryStream empty;
        EXPECT_EQ(in.component->setState(&empty), kResultFalse);
        EXPECT_EQ(in.controller->setState(&empty), kResultFalse);
        EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(3), 0.5);
        EXPECT_EQ(in.component->setState(nullptr), kInvalidArgument);
        EXPECT_EQ(in.controller->getState(nullptr), kInvalidArgument);
    }
    { // a record cut inside the parameter area: what arrived is used, the host hears of the shortfall
        Instance in(SharedHost(), &app);
        MemoryStream cut(record, n - 8 * 11); // ends after parameter 3
        EXPECT_EQ(in.component->setState(&cut), kResultFalse);
        EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(3), 0.125);
        // Reading stops where the data does: nothing past the stream's end is taken as a value.
        EXPECT_EQ(RecordOf(in).size(), n);
    }
    { // the controller record without its bypass tail
        Instance in(SharedHost(), &app);
        SetBypass(in, true);
        MemoryStream noTail(record);
        EXPECT_EQ(in.controller->setState(&noTail), kResultFalse);
        EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(kBypass), 1.0);
    }
    { // nonsense numbers: a record no measurement can hold is refused whole, and nothing
      // non-finite or out of range is kept
        Instance in(SharedHost(), &app);
        std::vector<unsigned char> junk(n + 4);
        const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity(), -1e300, 1e300};
        for (std::size_t i = 0; i + 8 <= n; i += 8)
            std::memcpy(junk.data() + i, &values[(i / 8) % 4], 8);
        MemoryStream s(junk);
        EXPECT_EQ(in.controller->setState(&s), kResultFalse);
        for (ParamID id = 0; id < 15; ++id) {
            const double v = in.controller->getParamNormalized(id);
            EXPECT_TRUE(v >= 0.0 && v <= 1.0) << id << " holds " << v;
        }
    }
    { // a stream that hands the record over a few bytes at a time still delivers all of it
        Instance in(SharedHost(), &app);
        MemoryStream trickle(record);
        trickle.perRead = 7;
        EXPECT_EQ(in.component->setState(&trickle), kResultOk);
        EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(3), 0.125);
    }
    { // a stream that cannot be written to is not reported as saved
        Instance in(SharedHost(), &app);
        MemoryStream full;
        full.failWrites = true;
        EXPECT_EQ(in.component->getState(&full), kResultFalse);
        EXPECT_EQ(in.controller->getState(&full), kResultFalse);
    }
}
