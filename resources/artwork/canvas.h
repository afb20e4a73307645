#pragma once

#include <functional>
#include <string>
#include <vector>

class RAST_MemBitmap;

// Colour with straight alpha, channels 0..255 (alpha 0..1).
struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};
inline Colour Rgb(float r, float g, float b, float a = 1.0f) {
    return {r, g, b, a};
}
Colour Mix(Colour from, Colour to, float t);

// A float RGBA drawing surface with anti-aliased shapes; everything composites "over" what is there.
class Canvas {
  public:
    Canvas(int w, int h, Colour fill = Rgb(0, 0, 0, 0));

    int Width() const { return width; }
    int Height() const { return height; }
    Colour At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void Set(int x, int y, Colour c) { pixels[size_t(y) * size_t(width) + size_t(x)] = c; }

    // Puts colour c over pixel (x, y) with the given coverage 0..1.
    void Blend(int x, int y, Colour c, float coverage);

    // Paints every pixel of [x0, x1) x [y0, y1) whose coverage (from the signed distance to the shape
    // at the pixel centre, negative inside) is positive, in the colour the paint gives for it.
    using Distance = std::function<float(float x, float y)>;
    using Paint = std::function<Colour(float x, float y)>;
    void FillShape(int x0, int y0, int x1, int y1, const Distance& distance, const Paint& paint);

    // Hard-edged rectangle, right and bottom exclusive.
    void FillRect(int x0, int y0, int x1, int y1, Colour c);
    // Rounded rectangle between the real edges [x0, x1] x [y0, y1] with corner radius r.
    void FillRoundRect(float x0, float y0, float x1, float y1, float r, const Paint& paint);
    void FillRoundRect(float x0, float y0, float x1, float y1, float r, Colour c);
    // Outline of the same shape, `thickness` wide, centred on the edge.
    void StrokeRoundRect(float x0, float y0, float x1, float y1, float r, float thickness, Colour c);
    void FillCircle(float cx, float cy, float radius, const Paint& paint);
    void FillCircle(float cx, float cy, float radius, Colour c);
    void StrokeCircle(float cx, float cy, float radius, float thickness, Colour c);
    // Convex polygon given in clockwise or counter-clockwise order.
    void FillPolygon(const std::vector<std::pair<float, float>>& points, Colour c);

    // 8-bit native pixels; with `opaque` the alpha is written as 255.
    RAST_MemBitmap* ToBitmap() const;
    bool WritePng(const std::string& path, bool opaque) const;

  private:
    int width, height;
    std::vector<Colour> pixels;
};

// Signed distances (negative inside) used with FillShape.
float RoundRectDistance(float x, float y, float x0, float y0, float x1, float y1, float r);
float CircleDistance(float x, float y, float cx, float cy, float radius);

// A vertical gradient from `top` at y0 to `bottom` at y1.
Canvas::Paint VerticalGradient(float y0, float y1, Colour top, Colour bottom);
