#pragma once

#include "framework/effect_base.h"

// The facts of the small stand-in plug-ins the tests and benchmarks build: stereo or mono in and
// out, one preset, the given number of parameters.
inline EffectFacts StereoEffectFacts(int params, const char* name) {
    EffectFacts f;
    f.paramCount = params;
    f.channelIO = "1-1 2-2";
    f.presetCount = 1;
    f.effectName = name;
    return f;
}
