#include "graphics/editor.h"
#include "graphics/x11/window.h"
#include "vst3/abi/unknown.h"
#include "engine/filter.h"
