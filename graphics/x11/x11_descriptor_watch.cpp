#include "graphics/x11/x11_descriptor_watch.h"

X11DescriptorWatch::X11DescriptorWatch(IHostRunLoop* l, std::function<void()> r)
    : loop(l), readable(std::move(r)) {}

X11DescriptorWatch* X11DescriptorWatch::Register(IHostRunLoop* loop, int fd, std::function<void()> readable) {
    if (!loop || fd < 0 || !readable) return nullptr;
    auto* watch = new X11DescriptorWatch(loop, std::move(readable));
    if (!loop->WatchDescriptor(watch, fd)) {
        delete watch;
        return nullptr;
    }
    return watch;
}

void X11DescriptorWatch::Disconnect() {
    loop->StopWatching(this);
    delete this;
}

void X11DescriptorWatch::OnDescriptorReadable(int) {
    // The callback may disconnect (and so delete) this watch: it runs from a copy, and nothing of
    // the watch is touched after it.
    std::function<void()> call = readable;
    call();
}
