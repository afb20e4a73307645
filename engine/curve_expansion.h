#pragma once

// The wanted response is kept as 33 points; the high resolution plays their expansion to the 120
// semitone bands.

// A 120-point curve from a 33-point one, linear in log amplitude over the point index. Entries
// that are not positive and finite count as 1.0.
void ExpandCurveTo120(const double* in33, double* out120);

// The first of the two points semitone band m (0..119) is interpolated from; the last band takes
// the last point alone.
int ExpandedFrom(int m);
