#pragma once

// Buttons and modifier keys held during a pointer event.
struct IMouseMods {
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};
