#include "graphics/blend_spec.h"

#include "raster/blit.h"

int IBlendSpec::BlitMode() const {
    switch (method) {
    case kOpaque:
        return ModeCopy;
    case kAdd:
        return ModeAdd | UseSourceAlpha;
    case kDodge:
        return ModeDodge | UseSourceAlpha;
    default:
        return ModeCopy | UseSourceAlpha;
    }
}
