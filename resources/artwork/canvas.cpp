#include "canvas.h"

#include "graphics/headless/surface_png.h"
#include "raster/mem_bitmap.h"

#include <algorithm>
#include <cmath>
#include <memory>

Colour Mix(Colour from, Colour to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

Canvas::Canvas(int w, int h, Colour fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

void Canvas::Blend(int x, int y, Colour c, float coverage) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    const float sa = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (sa <= 0) return;
    Colour& d = pixels[size_t(y) * size_t(width) + size_t(x)];
    const float outA = sa + d.a * (1 - sa);
    if (outA <= 0) {
        d = Rgb(0, 0, 0, 0);
        return;
    }
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / outA;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / outA;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / outA;
    d.a = outA;
}

void Canvas::FillShape(int x0, int y0, int x1, int y1, const Distance& distance, const Paint& paint) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, width), y1 = std::min(y1, height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float coverage = std::clamp(0.5f - distance(px, py), 0.0f, 1.0f);
            if (coverage > 0) Blend(x, y, paint(px, py), coverage);
        }
}

void Canvas::FillRect(int x0, int y0, int x1, int y1, Colour c) {
    for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, width); ++x)
            Blend(x, y, c, 1.0f);
}

float RoundRectDistance(float x, float y, float x0, float y0, float x1, float y1, float r) {
    const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

float CircleDistance(float x, float y, float cx, float cy, float radius) {
    return std::hypot(x - cx, y - cy) - radius;
}

namespace {
Canvas::Paint Solid(Colour c) {
    return [c](float, float) { return c; };
}
int Floor(float v) {
    return int(std::floor(v));
}
int Ceil(float v) {
    return int(std::ceil(v));
}
} // namespace

void Canvas::FillRoundRect(float x0, float y0, float x1, float y1, float r, const Paint& paint) {
    FillShape(
        Floor(x0) - 1, Floor(y0) - 1, Ceil(x1) + 1, Ceil(y1) + 1,
        [=](float x, float y) { return RoundRectDistance(x, y, x0, y0, x1, y1, r); }, paint);
}

void Canvas::FillRoundRect(float x0, float y0, float x1, float y1, float r, Colour c) {
    FillRoundRect(x0, y0, x1, y1, r, Solid(c));
}

void Canvas::StrokeRoundRect(float x0, float y0, float x1, float y1, float r, float thickness, Colour c) {
    const float half = thickness / 2;
    FillShape(
        Floor(x0) - 2, Floor(y0) - 2, Ceil(x1) + 2, Ceil(y1) + 2,
        [=](float x, float y) { return std::fabs(RoundRectDistance(x, y, x0, y0, x1, y1, r)) - half; },
        Solid(c));
}

void Canvas::FillCircle(float cx, float cy, float radius, const Paint& paint) {
    FillShape(
        Floor(cx - radius) - 1, Floor(cy - radius) - 1, Ceil(cx + radius) + 1, Ceil(cy + radius) + 1,
        [=](float x, float y) { return CircleDistance(x, y, cx, cy, radius); }, paint);
}

void Canvas::FillCircle(float cx, float cy, float radius, Colour c) {
    FillCircle(cx, cy, radius, Solid(c));
}

void Canvas::StrokeCircle(float cx, float cy, float radius, float thickness, Colour c) {
    const float half = thickness / 2;
    FillShape(
        Floor(cx - radius - half) - 1, Floor(cy - radius - half) - 1, Ceil(cx + radius + half) + 1,
        Ceil(cy + radius + half) + 1,
        [=](float x, float y) { return std::fabs(CircleDistance(x, y, cx, cy, radius)) - half; }, Solid(c));
}

void Canvas::FillPolygon(const std::vector<std::pair<float, float>>& points, Colour c) {
    if (points.size() < 3) return;
    float minX = points[0].first, maxX = minX, minY = points[0].second, maxY = minY;
    float area = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const auto& p = points[i];
        const auto& q = points[(i + 1) % points.size()];
        minX = std::min(minX, p.first), maxX = std::max(maxX, p.first);
        minY = std::min(minY, p.second), maxY = std::max(maxY, p.second);
        area += p.first * q.second - q.first * p.second;
    }
    const float orientation = area > 0 ? 1.0f : -1.0f;
    // Inside a convex polygon the largest signed distance to its edge lines is the distance to the
    // nearest edge; outside it is close enough near the edges for the anti-aliasing band.
    auto distance = [&points, orientation](float x, float y) {
        float d = -1e9f;
        for (size_t i = 0; i < points.size(); ++i) {
            const auto& p = points[i];
            const auto& q = points[(i + 1) % points.size()];
            const float ex = q.first - p.first, ey = q.second - p.second;
            const float len = std::hypot(ex, ey);
            if (len <= 0) continue;
            d = std::max(d, orientation * ((x - p.first) * ey - (y - p.second) * ex) / len);
        }
        return d;
    };
    FillShape(Floor(minX) - 1, Floor(minY) - 1, Ceil(maxX) + 1, Ceil(maxY) + 1, distance, Solid(c));
}

RAST_MemBitmap* Canvas::ToBitmap() const {
    auto* bitmap = new RAST_MemBitmap(width, height);
    auto byte = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 255.0f))); };
    for (int y = 0; y < height; ++y) {
        RAST_Pixel* row = bitmap->Row(y);
        for (int x = 0; x < width; ++x) {
            const Colour c = At(x, y);
            // Fully transparent pixels carry no colour, which keeps the files small.
            const bool clear = byte(c.a * 255) == 0;
            row[x] = clear ? 0 : (byte(c.a * 255) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b));
        }
    }
    return bitmap;
}

bool Canvas::WritePng(const std::string& path, bool opaque) const {
    std::unique_ptr<RAST_MemBitmap> bitmap(ToBitmap());
    return WriteBitmapPng(bitmap.get(), path, opaque);
}

Canvas::Paint VerticalGradient(float y0, float y1, Colour top, Colour bottom) {
    return [=](float, float y) { return Mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0f, 1.0f)); };
}
