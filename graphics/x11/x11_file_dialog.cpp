#include "graphics/x11/x11_file_dialog.h"
#include "graphics/modal_panel.h"
#include "graphics/x11/file_chooser_panel.h"
#include "graphics/x11/x11_descriptor_watch.h"
#include "graphics/x11/x11_display.h"
#include "graphics/x11/x11_graphics.h"
#include "graphics/x11/x11_keys.h"
#include "platform/message_service.h"
#include "platform/posix/child_process.h"
#include "platform/posix/dialog_program.h"

// File dialogs that never hold up the host: the dialog program is a child whose answer the
// host's run loop delivers (its output descriptor, and the editor's timer for its end).

namespace {
constexpr const char* kWaitingText = "Waiting for the file dialog. Choose a file there, or cancel here.";
}

void IGraphicsX11::ChooseFileThen(const FileDialogRequest& request, FileChoiceDone done) {
    // A dialog service put in place of the platform's (a test, a tool) answers as it always has.
    if (&UserDialogs() != &PlatformUserDialogs()) {
        IGraphics::ChooseFileThen(request, std::move(done));
        return;
    }
    if (fileDialog || !NativeWindow() || !hostRunLoop) return;
    MessageRoute route(this);
    const DialogProgram program = AvailableDialogProgram();
    if (program == DialogProgram::None) {
        OpenPanel(std::make_unique<FileChooserPanel>(request, request.initialFolder, std::move(done)));
        return;
    }
    auto run = std::make_unique<X11FileDialog>();
    run->request = request;
    run->done = std::move(done);
    if (!run->child.Start(FileDialogCommand(program, request))) {
        ShowInfo(kDialogFailedText);
        return;
    }
    // Without the descriptor the timer still reads the answer, only less promptly.
    run->watch = X11DescriptorWatch::Register(hostRunLoop.get(), run->child.OutputFd(),
                                              [this] { OnDialogReadable(); });
    auto panel = std::make_unique<MessagePanel>(
        request.title, kWaitingText, std::vector<std::string>{"Cancel"}, [this](int) { CancelFileDialog(); });
    run->panel = panel.get();
    fileDialog = std::move(run);
    OpenPanel(std::move(panel));
}

void IGraphicsX11::OnDialogReadable() {
    if (!fileDialog) return;
    if (fileDialog->child.ReadAvailable() && fileDialog->watch) {
        // Closed: a descriptor that no longer exists is not to be watched.
        fileDialog->watch->Disconnect();
        fileDialog->watch = nullptr;
    }
    MessageRoute route(this);
    PollFileDialog();
    if (display) display->Flush();
}

void IGraphicsX11::PollFileDialog() {
    if (!fileDialog) return;
    ChildProcess& child = fileDialog->child;
    if (!fileDialog->watch) child.ReadAvailable();
    if (!child.Reap()) return;
    // Ended: what it wrote before is in the pipe (anything it left running may hold the pipe
    // open, so the end of the program decides, not the end of the output).
    child.ReadAvailable();
    FinishFileDialog();
}

void IGraphicsX11::FinishFileDialog() {
    std::unique_ptr<X11FileDialog> run = std::move(fileDialog);
    if (run->watch) run->watch->Disconnect();
    DropPanel(run->panel);
    const FileDialogAnswer answer = ReadFileDialogAnswer(run->request, run->child.Signalled(),
                                                         run->child.ExitCode(), run->child.Output());
    if (answer.kind == FileDialogAnswer::Failed) ShowInfo(answer.message);
    if (run->done)
        run->done(answer.kind == FileDialogAnswer::Chosen ? std::optional<std::string>(answer.path)
                                                          : std::nullopt);
}

void IGraphicsX11::CancelFileDialog() {
    if (!fileDialog) return;
    std::unique_ptr<X11FileDialog> run = std::move(fileDialog);
    if (run->watch) run->watch->Disconnect();
    DropPanel(run->panel);
    run->child.Terminate();
}

bool IGraphicsX11::PanelKeyFromEvent(const xcb_key_press_event_t& e) {
    const bool shifted = e.state & XCB_MOD_MASK_SHIFT;
    const uint32_t sym = display->Keysym(e.detail, shifted ? 1 : 0);
    PanelKey key = PanelKey::Character;
    switch (sym) {
    case kSymReturn:
    case kSymKpEnter:
        key = PanelKey::Return;
        break;
    case kSymEscape:
        key = PanelKey::Escape;
        break;
    case kSymUp:
        key = PanelKey::Up;
        break;
    case kSymDown:
        key = PanelKey::Down;
        break;
    case kSymLeft:
        key = PanelKey::Left;
        break;
    case kSymRight:
        key = PanelKey::Right;
        break;
    case kSymHome:
        key = PanelKey::Home;
        break;
    case kSymEnd:
        key = PanelKey::End;
        break;
    case kSymBackSpace:
        key = PanelKey::Backspace;
        break;
    case kSymDelete:
        key = PanelKey::Delete;
        break;
    case kSymTab:
    case 0xfe20: // ISO_Left_Tab, shift + Tab
        key = PanelKey::Tab;
        break;
    case 0xff55:
        key = PanelKey::PageUp;
        break;
    case 0xff56:
        key = PanelKey::PageDown;
        break;
    default:
        break;
    }
    const int character = key == PanelKey::Character ? CharacterForKeysym(sym) : -1;
    if (key == PanelKey::Character && character < 0) return false;
    return PanelKeyDown(key, character);
}
