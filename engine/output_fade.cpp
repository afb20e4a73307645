#include "engine/output_fade.h"

void Ramp::Jump(double value) {
    from = to = now = value;
    position = length = 0;
}

void Ramp::MoveTo(double target, int samples) {
    if (target == to) return;
    from = now;
    to = target;
    position = 0;
    length = samples;
}

double Ramp::Next() {
    if (position >= length) return now = to;
    now = from + (to - from) * FadeShape(position, length);
    ++position;
    return now;
}
