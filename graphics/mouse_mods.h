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

// Wheel deltas collected into whole steps. A touchpad sends many deltas below one notch (120
// units) which together make a step; what is left waits for the next delta. A turn the other way
// starts afresh, so it acts as soon as the hand does.
class WheelAccumulator {
  public:
    int Add(int delta) {
        if ((delta > 0 && rest < 0) || (delta < 0 && rest > 0)) rest = 0;
        rest += delta;
        const int steps = WheelStepsForDelta(rest);
        rest -= steps * 120;
        return steps;
    }
    void Clear() { rest = 0; }

  private:
    int rest = 0;
};
