#include "engine/filter.h"
#include "graphics/x11/window.h"
#include "vst3/abi/unknown.h"
#include "vst3/binding.h"
