#include "vst3/posix/host_run_loop_adapter.h"

#include "vst3/ref_counted_object.h"

#include <algorithm>

// What the host calls for a descriptor the editor watches. Held for the call: the editor may stop
// watching (cutting it off and dropping the adapter's reference) from inside.
class HostRunLoopAdapter::DescriptorLink final : public vst::RefCountedObject, public vst::IEventHandler {
  public:
    explicit DescriptorLink(IDescriptorHandler* h) : handler(h) {}

    vst::tresult queryInterface(const vst::TUID iid, void** obj) override {
        const bool ours = vst::FUnknown::iid.Matches(iid) || vst::IEventHandler::iid.Matches(iid);
        return vst::AnswerInterface(ours ? static_cast<vst::IEventHandler*>(this) : nullptr, obj);
    }
    vst::uint32 addRef() override { return AddReference(); }
    vst::uint32 release() override { return ReleaseReference(); }
    void onFDIsSet(int fd) override {
        addRef();
        if (handler) handler->OnDescriptorReadable(fd);
        release();
    }

    IDescriptorHandler* handler; // null once cut off
};

// What the host calls for the editor's timer; held for the call as above.
class HostRunLoopAdapter::TimerLink final : public vst::RefCountedObject, public vst::ITimerHandler {
  public:
    explicit TimerLink(IHostRunLoop::ITimerHandler* h) : handler(h) {}

    vst::tresult queryInterface(const vst::TUID iid, void** obj) override {
        const bool ours = vst::FUnknown::iid.Matches(iid) || vst::ITimerHandler::iid.Matches(iid);
        return vst::AnswerInterface(ours ? static_cast<vst::ITimerHandler*>(this) : nullptr, obj);
    }
    vst::uint32 addRef() override { return AddReference(); }
    vst::uint32 release() override { return ReleaseReference(); }
    void onTimer() override {
        addRef();
        if (handler) handler->OnTimer();
        release();
    }

    IHostRunLoop::ITimerHandler* handler; // null once cut off
};

std::unique_ptr<HostRunLoopAdapter> HostRunLoopAdapter::FromFrame(vst::FUnknown* frame) {
    vst::IRunLoop* loop = vst::QueryAs<vst::IRunLoop>(frame);
    return loop ? std::make_unique<HostRunLoopAdapter>(loop) : nullptr;
}

HostRunLoopAdapter::HostRunLoopAdapter(vst::IRunLoop* l) : loop(l) {}

HostRunLoopAdapter::~HostRunLoopAdapter() {
    // The editor stops everything before it lets go of the loop; whatever is left is cut off all
    // the same, as the host may call it later.
    while (!descriptors.empty())
        StopWatching(descriptors.back()->handler);
    while (!timers.empty())
        StopTimer(timers.back()->handler);
    // A host may keep the handlers longer than its loop lives: none of them needs it.
    loop->release();
}

bool HostRunLoopAdapter::WatchDescriptor(IDescriptorHandler* handler, int fd) {
    if (!handler || fd < 0) return false;
    auto* link = new DescriptorLink(handler);
    if (loop->registerEventHandler(link, fd) != vst::kResultOk) {
        link->handler = nullptr;
        link->release();
        return false;
    }
    descriptors.push_back(link);
    return true;
}

bool HostRunLoopAdapter::StartTimer(ITimerHandler* handler, uint64_t intervalMs) {
    if (!handler) return false;
    auto* link = new TimerLink(handler);
    if (loop->registerTimer(link, intervalMs) != vst::kResultOk) {
        link->handler = nullptr;
        link->release();
        return false;
    }
    timers.push_back(link);
    return true;
}

void HostRunLoopAdapter::StopWatching(IDescriptorHandler* handler) {
    auto it = std::find_if(descriptors.begin(), descriptors.end(),
                           [&](const DescriptorLink* d) { return d->handler == handler; });
    if (!handler || it == descriptors.end()) return;
    DescriptorLink* link = *it;
    descriptors.erase(it);
    loop->unregisterEventHandler(link);
    link->handler = nullptr;
    link->release();
}

void HostRunLoopAdapter::StopTimer(ITimerHandler* handler) {
    auto it =
        std::find_if(timers.begin(), timers.end(), [&](const TimerLink* t) { return t->handler == handler; });
    if (!handler || it == timers.end()) return;
    TimerLink* link = *it;
    timers.erase(it);
    loop->unregisterTimer(link);
    link->handler = nullptr;
    link->release();
}
