#pragma once

#include "vst3/host/module_host.h"

// The module under test, loaded once per test program.
inline ModuleHost& SharedHost() {
    static ModuleHost host(TV_TEST_MODULE_PATH);
    return host;
}

#define REQUIRE_MODULE()                                                                                  \
    ASSERT_TRUE(SharedHost().Ready()) << SharedHost().Problem()
