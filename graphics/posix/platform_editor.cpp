#include "graphics/platform_editor.h"

#include "graphics/graphics.h"

// No window back end on this platform yet: the instance keeps a headless editor, which draws and
// takes input from its caller but opens no window (hosts are told it cannot attach).
std::unique_ptr<IGraphics> CreatePlatformEditor(IEffectBase* plug, int width, int height, int frameRate) {
    return CreateHeadlessEditor(plug, width, height, frameRate);
}
