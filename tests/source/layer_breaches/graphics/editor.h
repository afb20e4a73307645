#pragma once

#include "graphics/x11/window.h"
#include "raster/blit.h"
#include "vst3/abi/unknown.h"
