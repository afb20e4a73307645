#include "graphics/x11/x11_run_loop_link.h"

#include "graphics/x11/x11_graphics.h"

X11RunLoopLink::X11RunLoopLink(vst::IRunLoop* l, IGraphicsX11* e) : loop(l), editor(e) {
    loop->addRef();
}

X11RunLoopLink::~X11RunLoopLink() {
    if (loop) loop->release();
}

X11RunLoopLink* X11RunLoopLink::Register(vst::IRunLoop* loop, IGraphicsX11* editor, int fd,
                                         vst::uint64 intervalMs) {
    if (!loop || !editor || fd < 0) return nullptr;
    auto* link = new X11RunLoopLink(loop, editor);
    link->watching = loop->registerEventHandler(link, fd) == vst::kResultOk;
    link->timing = link->watching && loop->registerTimer(link, intervalMs) == vst::kResultOk;
    if (!link->timing) {
        link->Disconnect();
        return nullptr;
    }
    return link;
}

void X11RunLoopLink::StopWatching() {
    if (watching && loop) loop->unregisterEventHandler(this);
    watching = false;
}

void X11RunLoopLink::Disconnect() {
    StopWatching();
    if (timing && loop) loop->unregisterTimer(this);
    timing = false;
    editor = nullptr;
    // A host may keep the handler longer than its loop lives: the loop is not needed any more.
    if (loop) loop->release();
    loop = nullptr;
    release();
}

vst::tresult X11RunLoopLink::queryInterface(const vst::TUID iid, void** obj) {
    if (!obj) return vst::kInvalidArgument;
    *obj = nullptr;
    if (vst::FUnknown::iid.Matches(iid) || vst::IEventHandler::iid.Matches(iid))
        *obj = static_cast<vst::IEventHandler*>(this);
    else if (vst::ITimerHandler::iid.Matches(iid))
        *obj = static_cast<vst::ITimerHandler*>(this);
    if (!*obj) return vst::kNoInterface;
    addRef();
    return vst::kResultOk;
}

vst::uint32 X11RunLoopLink::release() {
    vst::uint32 left = --refs;
    if (left == 0) delete this;
    return left;
}

void X11RunLoopLink::onFDIsSet(int) {
    // Held for the call: the editor may close its window (and disconnect us) from inside.
    addRef();
    if (editor) editor->OnConnectionReadable();
    release();
}

void X11RunLoopLink::onTimer() {
    addRef();
    if (editor) editor->OnTimerTick();
    release();
}
