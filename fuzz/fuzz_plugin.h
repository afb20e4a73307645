#pragma once

// One plug-in instance with its headless editor, built fresh for each input so that a saved input
// replays the same way on its own. Messages are swallowed and the documents folder is a private
// empty one, so nothing reaches the screen or the user's files.

#include "plugin/mic_corrector.h"
#include "vst3/abi/component.h"
#include "vst3/abi/processing.h"

#include <cstdint>

class FuzzPlugin {
  public:
    FuzzPlugin();
    ~FuzzPlugin();
    FuzzPlugin(const FuzzPlugin&) = delete;
    FuzzPlugin& operator=(const FuzzPlugin&) = delete;

    // setupProcessing as a host calls it; the result code.
    vst::tresult Prepare(double rate, vst::int32 sampleSize = vst::kSample64, vst::int32 maxBlock = 512);
    // One 64-bit block of a fixed tone on both inputs through `process`; aborts when the output holds
    // a value that is not finite or is subnormal.
    void CheckCleanBlock();

    IMicCorrector* fx;
};

// Aborts (a finding) when the condition fails; unlike assert it is never compiled out.
void FuzzCheck(bool condition, const char* what);
