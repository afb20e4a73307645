#pragma once

// The window system the editor view offers to hosts: "HWND" on Windows, "X11EmbedWindowID" on
// Linux. The view accepts only this type in isPlatformTypeSupported and attached.
const char* ViewPlatformType();
