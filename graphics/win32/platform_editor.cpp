#include "graphics/platform_editor.h"

#include "graphics/graphics.h"

// Until the Win32 window back end is in, the instance keeps a headless editor.
std::unique_ptr<IGraphics> CreatePlatformEditor(IEffectBase* plug, int width, int height, int frameRate) {
    return CreateHeadlessEditor(plug, width, height, frameRate);
}
