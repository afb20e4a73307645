#include "graphics/platform_editor.h"

#include "graphics/x11/x11_graphics.h"

// Linux hosts embed X11 windows. The editor connects to the display only when a host opens it,
// so an instance made without a display (a command-line host, a scanner) is still whole.
std::unique_ptr<IGraphics> CreatePlatformEditor(IEffectBase* plug, int width, int height, int frameRate) {
    return std::make_unique<IGraphicsX11>(plug, width, height, frameRate);
}
