#pragma once

#include "graphics/graphics.h"
#include "platform/posix/child_process.h"

class IModalPanel;
class X11DescriptorWatch;

// A file dialog program running for the X11 editor, and whom its answer is for.
struct X11FileDialog {
    FileDialogRequest request;
    FileChoiceDone done;
    ChildProcess child;
    X11DescriptorWatch* watch = nullptr;
    IModalPanel* panel = nullptr; // the wait shown meanwhile, owned by the editor
};
