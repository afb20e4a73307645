#include "graphics/x11/x11_document_opener.h"
#include "graphics/x11/x11_descriptor_watch.h"
#include "graphics/x11/x11_display.h"
#include "graphics/x11/x11_graphics.h"
#include "platform/message_service.h"
#include "platform/posix/desktop_opener.h"

#include <sys/stat.h>

// Opening a page without holding up the host: the opener is a child whose end the host's run loop
// reports (a descriptor that turns readable when it ends, and the editor's timer besides).

int IGraphicsX11::OpenDocument(const std::string& path) {
    // A dialog service put in place of the platform's (a test, a tool) answers as it always has;
    // without a window and a run loop nothing could report the end, so the service waits.
    if (&UserDialogs() != &PlatformUserDialogs() || !NativeWindow() || !hostRunLoop)
        return IGraphics::OpenDocument(path);
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return kShellFileNotFound;
    MessageRoute route(this);
    // An earlier opener still running has opened its page by now.
    LetOpenerGo();
    auto run = std::make_unique<X11DocumentOpener>();
    run->page = path;
    run->started = std::chrono::steady_clock::now();
    if (!run->child.Start(OpenerCommand(path), ChildOutput::Discard)) return OpenerResult(path, kNotStarted);
    if (run->child.ExitFd() >= 0)
        run->watch =
            X11DescriptorWatch::Register(hostRunLoop.get(), run->child.ExitFd(), [this] { PollOpener(); });
    opener = std::move(run);
    return kShellOpened;
}

void IGraphicsX11::PollOpener() {
    if (!opener) return;
    if (!opener->child.Reap()) {
        const auto ran = std::chrono::steady_clock::now() - opener->started;
        if (ran >= std::chrono::milliseconds(kOpenerAnswerMs)) LetOpenerGo();
        return;
    }
    std::unique_ptr<X11DocumentOpener> run = std::move(opener);
    if (run->watch) run->watch->Disconnect();
    MessageRoute route(this);
    OpenerResult(run->page, run->child.ExitCode());
    if (display) display->Flush();
}

void IGraphicsX11::LetOpenerGo() {
    if (!opener) return;
    if (opener->watch) opener->watch->Disconnect();
    opener->child.LetGo();
    opener.reset();
}
