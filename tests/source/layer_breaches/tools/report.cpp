#include "plugin/effect.h"
#include "vst3/abi/unknown.h"
