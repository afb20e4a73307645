#pragma once

#include "vst3/host/module_host.h"

#include <filesystem>

// The module under test, loaded once per test program, with a documents folder of its own.
inline ModuleHost& SharedHost() {
    static ModuleHost host([] {
        std::filesystem::create_directories(TV_TEST_DOCUMENTS);
        UseDocumentsFolder(TV_TEST_DOCUMENTS);
        return std::string(TV_TEST_MODULE_PATH);
    }());
    return host;
}

#define REQUIRE_MODULE() ASSERT_TRUE(SharedHost().Ready()) << SharedHost().Problem()
