#pragma once

#include "graphics/host_run_loop.h"

#include <memory>

// What a host binding needs from the editor object to host it in a window the host provides.
// The editor back end implements it next to the base's editor link; an editor without it (the
// headless one) cannot be shown in a host's window. The window operations have the editor core's
// own signatures, so one back-end function serves both.
class IEditorWindow {
  public:
    virtual ~IEditorWindow() = default;
    virtual int EditorWidth() const = 0;
    virtual int EditorHeight() const = 0;
    // Creates the editor's window inside parent and returns it; null when no window could be made.
    // (The same signature as the editor core's, so one override serves both.)
    virtual void* AttachToParent(void* parent) = 0;
    // Destroys the window; the editor object itself stays.
    virtual void DetachWindow() = 0;
    // The host's event loop for the next AttachToParent (null when there is none), kept until
    // DetachWindow. Back ends that the host's own event loop drives need it; others drop it.
    virtual void UseHostRunLoop(std::unique_ptr<IHostRunLoop> /*loop*/) {}
};
