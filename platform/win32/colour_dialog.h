#pragma once

#include <optional>

// The system's colour dialog, which only the Windows editor offers (to the host side). It waits
// for the user's answer. `owner` is the window it belongs to (an HWND), null for none.

struct RgbColour {
    int r = 0, g = 0, b = 0;
};

// Starts at red, green and blue; the chosen ones, or nothing when cancelled. The user's custom
// colours are kept in `customColours` (16 entries, owned by the caller) when given.
std::optional<RgbColour> ChooseColourWithSystemDialog(const RgbColour& initial, const char* prompt,
                                                      void* owner, unsigned long* customColours = nullptr);
