#include "platform/vector_paths.h"

#include <atomic>

namespace {
std::atomic<bool> forcedBaseline{false};

bool AskProcessor() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init(); // this runs among the static constructors, before the library's own
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// Asked once at load time, so the audio thread never meets a first-call guard.
const bool processorHasWideVectors = AskProcessor();
} // namespace

bool WideVectorPathsEnabled() {
    return !forcedBaseline.load(std::memory_order_relaxed) && processorHasWideVectors;
}

void ForceBaselineVectorPaths(bool force) {
    forcedBaseline.store(force, std::memory_order_relaxed);
}

const char* VectorPathName(VectorPath path) {
    switch (path) {
    case VectorPath::Baseline: return "baseline (SSE2)";
    case VectorPath::Wide: return "wide (AVX2)";
    case VectorPath::None: break;
    }
    return "none";
}
