#pragma once

#include "vst3/abi/factory.h"

class IEffectVST3;

// Made by the plug-in that is linked into the module: one new instance with reference count 1.
IEffectVST3* CreatePluginInstance();

// The module's factory: built on the first call, shared afterwards with one more reference for
// every caller.
vst::IPluginFactory* ModuleFactory();
