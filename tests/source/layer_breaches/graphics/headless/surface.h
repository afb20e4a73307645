#pragma once

#include "graphics/editor.h"
