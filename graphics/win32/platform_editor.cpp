#include "graphics/platform_editor.h"

#include "graphics/win32/graphics_win.h"

// The instance's editor opens Win32 child windows in the host's window.
std::unique_ptr<IGraphics> CreatePlatformEditor(IEffectBase* plug, int width, int height, int frameRate) {
    return std::make_unique<IGraphicsWin>(plug, width, height, frameRate);
}
