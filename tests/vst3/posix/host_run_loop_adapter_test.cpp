#include "support/host_objects.h"
#include "vst3/abi/linux_run_loop.h"
#include "vst3/posix/host_run_loop_adapter.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// A Linux host's run loop as the editor sees it through the adapter. Hosts differ in what they do
// with the handler objects they are given: some keep them, and call one again, after it was
// unregistered; some hold one only while it is registered; some refuse a registration.

namespace {

using namespace vst;

class HostRunLoop : public HostObject<IRunLoop> {
  public:
    explicit HostRunLoop(bool keepHandlers) : keep(keepHandlers) {}
    ~HostRunLoop() {
        for (FUnknown* k : kept)
            k->release();
    }
    tresult registerEventHandler(IEventHandler* h, int) override {
        if (refuseDescriptors) return kResultFalse;
        Hold(h);
        events.push_back(h);
        return kResultOk;
    }
    tresult registerTimer(ITimerHandler* h, uint64) override {
        if (refuseTimers) return kResultFalse;
        Hold(h);
        timers.push_back(h);
        return kResultOk;
    }
    tresult unregisterEventHandler(IEventHandler* h) override { return Drop(events, h); }
    tresult unregisterTimer(ITimerHandler* h) override { return Drop(timers, h); }

    // One round: every registered handler is called once, as if its descriptor were readable
    // and its timer due.
    void RunOnce() {
        for (IEventHandler* e : std::vector<IEventHandler*>(events))
            e->onFDIsSet(3);
        for (ITimerHandler* t : std::vector<ITimerHandler*>(timers))
            t->onTimer();
    }
    // What a careless host does: calls every handler it was ever given.
    void CallKept() {
        for (FUnknown* k : kept) {
            if (auto* e = QueryAs<IEventHandler>(k)) {
                e->onFDIsSet(3);
                e->release();
            }
            if (auto* t = QueryAs<ITimerHandler>(k)) {
                t->onTimer();
                t->release();
            }
        }
    }

    std::vector<IEventHandler*> events;
    std::vector<ITimerHandler*> timers;
    bool refuseDescriptors = false;
    bool refuseTimers = false;

  private:
    void Hold(FUnknown* h) {
        h->addRef();
        if (keep) {
            h->addRef();
            kept.push_back(h);
        }
    }
    template <typename T> tresult Drop(std::vector<T*>& list, T* h) {
        auto it = std::find(list.begin(), list.end(), h);
        if (it == list.end()) return kInvalidArgument;
        list.erase(it);
        h->release();
        return kResultOk;
    }
    bool keep;
    std::vector<FUnknown*> kept;
};

struct EditorHandler : IHostRunLoop::IDescriptorHandler, IHostRunLoop::ITimerHandler {
    void OnDescriptorReadable(int) override {
        ++readable;
        if (during) during();
    }
    void OnTimer() override {
        ++ticks;
        if (during) during();
    }
    int readable = 0;
    int ticks = 0;
    std::function<void()> during;
};

TEST(HostRunLoopAdapter, FoundOnlyThroughAFrameThatOffersTheLoop) {
    HostRunLoop loop(false);
    TestHostApplication noLoop;
    EXPECT_EQ(HostRunLoopAdapter::FromFrame(nullptr), nullptr);
    EXPECT_EQ(HostRunLoopAdapter::FromFrame(&noLoop), nullptr);
    auto adapter = HostRunLoopAdapter::FromFrame(&loop);
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(loop.References(), 2);
    adapter.reset();
    EXPECT_EQ(loop.References(), 1);
    EXPECT_EQ(noLoop.References(), 1);
}

TEST(HostRunLoopAdapter, StoppedHandlersAreCutOffWhateverTheHostKeeps) {
    HostRunLoop loop(true);
    EditorHandler editor;
    auto adapter = HostRunLoopAdapter::FromFrame(&loop);
    ASSERT_TRUE(adapter->WatchDescriptor(&editor, 5));
    ASSERT_TRUE(adapter->StartTimer(&editor, 40));
    loop.RunOnce();
    EXPECT_EQ(editor.readable, 1);
    EXPECT_EQ(editor.ticks, 1);

    adapter->StopWatching(&editor);
    adapter->StopTimer(&editor);
    EXPECT_TRUE(loop.events.empty() && loop.timers.empty());
    loop.CallKept();
    // Gone with the host still holding its handlers: the loop's reference goes, the handlers stay
    // harmless.
    adapter.reset();
    EXPECT_EQ(loop.References(), 1);
    loop.CallKept();
    EXPECT_EQ(editor.readable, 1);
    EXPECT_EQ(editor.ticks, 1);
}

TEST(HostRunLoopAdapter, GoingWithHandlersRegisteredUnregistersAndCutsThemOff) {
    HostRunLoop loop(true);
    EditorHandler editor;
    auto adapter = HostRunLoopAdapter::FromFrame(&loop);
    ASSERT_TRUE(adapter->WatchDescriptor(&editor, 5));
    ASSERT_TRUE(adapter->StartTimer(&editor, 40));
    adapter.reset();
    EXPECT_TRUE(loop.events.empty() && loop.timers.empty());
    EXPECT_EQ(loop.References(), 1);
    loop.CallKept();
    EXPECT_EQ(editor.readable + editor.ticks, 0);
}

TEST(HostRunLoopAdapter, AHandlerMayStopFromInsideItsOwnCall) {
    // The host holds a handler only while it is registered: stopping from inside the call drops
    // every reference but the one the call itself holds.
    HostRunLoop loop(false);
    EditorHandler editor;
    auto adapter = HostRunLoopAdapter::FromFrame(&loop);
    editor.during = [&] {
        adapter->StopWatching(&editor);
        adapter->StopTimer(&editor);
    };
    ASSERT_TRUE(adapter->WatchDescriptor(&editor, 5));
    ASSERT_TRUE(adapter->StartTimer(&editor, 40));
    loop.RunOnce();
    EXPECT_EQ(editor.readable, 1);
    EXPECT_EQ(editor.ticks, 0);
    EXPECT_TRUE(loop.events.empty() && loop.timers.empty());
}

TEST(HostRunLoopAdapter, RefusedRegistrationsLeaveNothingRegistered) {
    const struct {
        bool refuseDescriptors, refuseTimers;
    } cases[] = {{true, false}, {false, true}, {true, true}};
    for (const auto& c : cases) {
        HostRunLoop loop(true);
        loop.refuseDescriptors = c.refuseDescriptors;
        loop.refuseTimers = c.refuseTimers;
        EditorHandler editor;
        auto adapter = HostRunLoopAdapter::FromFrame(&loop);
        EXPECT_EQ(adapter->WatchDescriptor(&editor, 5), !c.refuseDescriptors);
        EXPECT_EQ(adapter->StartTimer(&editor, 40), !c.refuseTimers);
        adapter->StopWatching(&editor);
        adapter->StopTimer(&editor);
        EXPECT_TRUE(loop.events.empty() && loop.timers.empty());
        loop.CallKept();
        EXPECT_EQ(editor.readable + editor.ticks, 0);
        adapter.reset();
        EXPECT_EQ(loop.References(), 1);
    }
}

} // namespace
