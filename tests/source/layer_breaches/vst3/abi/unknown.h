#pragma once

#include "vst3/binding.h"
