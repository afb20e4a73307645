#pragma once

// The editor's window interface belongs to the editor core; this name stays for the plug-in class,
// which reaches it through the binding.
#include "graphics/editor_window.h"
