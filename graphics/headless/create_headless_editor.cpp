#include "graphics/headless/headless_graphics.h"
#include "graphics/platform_editor.h"

std::unique_ptr<IGraphics> CreateHeadlessEditor(IEffectBase* plug, int width, int height, int frameRate) {
    return std::make_unique<IGraphicsHeadless>(plug, width, height, frameRate);
}
