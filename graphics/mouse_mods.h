#pragma once

// Buttons and modifier keys held during a pointer event.
struct IMouseMods {
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// Wheel steps for a window system's wheel delta: one step per 120 units, rounded toward zero.
constexpr int WheelStepsForDelta(int delta) {
    return delta / 120;
}
