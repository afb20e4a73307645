#include "app_fixture.h"

#include "platform/plugin_lock.h"
#include "support/module_loader.h"

#include <filesystem>
#include <random>
#include <stdlib.h>

void EditorApp::SetUpTestSuite() {
    std::filesystem::create_directories(TV_TEST_DOCUMENTS);
    UseDocumentsFolder(TV_TEST_DOCUMENTS);
#ifndef _WIN32
    // The help folder lies below the local application-data folder; keep it in the test's tree.
    std::filesystem::create_directories(TV_TEST_DOCUMENTS "/appdata");
    setenv("XDG_DATA_HOME", TV_TEST_DOCUMENTS "/appdata", 1);
#endif
}

int EditorApp::PlayUntilRecorded(int tickEvery, int maxBlocks) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-0.5, 0.5);
    std::vector<double> left(512), right(512), out0(512), out1(512);
    int blocks = 0;
    while (Engine().Snapshot().recordingActive && blocks < maxBlocks) {
        for (int i = 0; i < 512; ++i) {
            left[i] = noise(random);
            right[i] = 0.5 * left[i] + 0.1 * noise(random);
        }
        double* in[2] = {left.data(), right.data()};
        double* out[2] = {out0.data(), out1.data()};
        {
            PluginLockGuard guard(fx->Lock());
            fx->ProcessBlock(in, out, 512);
        }
        ++blocks;
        if (tickEvery > 0 && blocks % tickEvery == 0) editor->Tick();
    }
    return blocks;
}
