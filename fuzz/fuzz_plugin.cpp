#include "fuzz_plugin.h"

#include "graphics/platform_editor.h"
#include "platform/message_service.h"
#include "support/host_block.h"
#include "support/module_loader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class SilentMessages final : public IMessageService {
  public:
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
};

void PrepareProcessOnce() {
    static const bool done = [] {
        static SilentMessages silent;
        InstallMessageService(&silent);
        // Empty, so no calibration file is ever found; instances only create their subfolder.
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tv-fuzz-documents";
        std::filesystem::create_directories(folder);
        UseDocumentsFolder(folder.string());
        return true;
    }();
    (void)done;
}

} // namespace

void FuzzCheck(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

FuzzPlugin::FuzzPlugin() {
    PrepareProcessOnce();
    fx = new IMicCorrector(CreateHeadlessEditor);
    // Buses and host parameters, as every host's first call makes them.
    fx->initialize(nullptr);
    fx->activateBus(vst::kAudio, vst::kInput, 0, 1);
    fx->activateBus(vst::kAudio, vst::kOutput, 0, 1);
}

FuzzPlugin::~FuzzPlugin() {
    fx->terminate();
    fx->release();
}

vst::tresult FuzzPlugin::Prepare(double rate, vst::int32 sampleSize, vst::int32 maxBlock) {
    vst::ProcessSetup setup{vst::kRealtime, sampleSize, maxBlock, rate};
    return fx->setupProcessing(setup);
}

void FuzzPlugin::CheckCleanBlock() {
    constexpr int kFrames = 256;
    HostBlock<double> block(kFrames, 2, 2, 7.0);
    for (int i = 0; i < kFrames; ++i) {
        block.in[0][i] = 0.5 * std::sin(0.05 * i);
        block.in[1][i] = 0.25 * std::sin(0.11 * i);
    }
    FuzzCheck(fx->process(block.data) == vst::kResultOk, "process result");
    for (int i = 0; i < kFrames; ++i) {
        for (double v : {block.out[0][i], block.out[1][i]}) {
            FuzzCheck(std::isfinite(v), "output is finite");
            FuzzCheck(v == 0.0 || std::fabs(v) >= 2.2250738585072014e-308, "output is not subnormal");
        }
    }
}
