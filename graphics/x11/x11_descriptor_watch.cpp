#include "graphics/x11/x11_descriptor_watch.h"

X11DescriptorWatch::X11DescriptorWatch(vst::IRunLoop* l, std::function<void()> r)
    : loop(l), readable(std::move(r)) {
    loop->addRef();
}

X11DescriptorWatch::~X11DescriptorWatch() {
    if (loop) loop->release();
}

X11DescriptorWatch* X11DescriptorWatch::Register(vst::IRunLoop* loop, int fd,
                                                 std::function<void()> readable) {
    if (!loop || fd < 0 || !readable) return nullptr;
    auto* watch = new X11DescriptorWatch(loop, std::move(readable));
    watch->watching = loop->registerEventHandler(watch, fd) == vst::kResultOk;
    if (!watch->watching) {
        watch->Disconnect();
        return nullptr;
    }
    return watch;
}

void X11DescriptorWatch::Disconnect() {
    if (watching && loop) loop->unregisterEventHandler(this);
    watching = false;
    readable = nullptr;
    if (loop) loop->release();
    loop = nullptr;
    release();
}

vst::tresult X11DescriptorWatch::queryInterface(const vst::TUID iid, void** obj) {
    if (!obj) return vst::kInvalidArgument;
    *obj = nullptr;
    if (vst::FUnknown::iid.Matches(iid) || vst::IEventHandler::iid.Matches(iid))
        *obj = static_cast<vst::IEventHandler*>(this);
    if (!*obj) return vst::kNoInterface;
    addRef();
    return vst::kResultOk;
}

vst::uint32 X11DescriptorWatch::release() {
    vst::uint32 left = --refs;
    if (left == 0) delete this;
    return left;
}

void X11DescriptorWatch::onFDIsSet(int) {
    // Held for the call: the callback may disconnect us.
    addRef();
    if (readable) {
        std::function<void()> call = readable;
        call();
    }
    release();
}
