#pragma once

#include "graphics/editor.h"
#include "graphics/headless/surface.h"
#include <xcb/xcb.h>
