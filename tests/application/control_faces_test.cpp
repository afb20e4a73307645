// Every control's clickable area covers the face the user sees. The faces are found in the artwork
// itself (the background image and where the sprites appear in the rendered editor), never from
// the layout's rectangles, so a wrong layout constant shows here as a corner click that misses.
#include "app_fixture.h"

#include "graphics/control.h"
#include "plugin/editor_layout.h"
#include "plugin/parameter_table.h"
#include "raster/mem_bitmap.h"
#include "raster/png_loader.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Point {
    int x, y;
};

int Channel(RAST_Pixel p, int c) {
    return static_cast<int>(p >> (8 * c)) & 255;
}
int Alpha(RAST_Pixel p) {
    return static_cast<int>(p >> 24);
}
int MaxChannel(RAST_Pixel p) {
    return std::max({Channel(p, 0), Channel(p, 1), Channel(p, 2)});
}
bool NearGrey(RAST_Pixel p, int grey, int tolerance) {
    for (int c = 0; c < 3; ++c)
        if (std::abs(Channel(p, c) - grey) > tolerance) return false;
    return true;
}

// A painted face: its pixels and their bounding box.
struct Face {
    IPixelRect box;
    std::vector<bool> in; // box-relative, row by row
    bool Has(int x, int y) const {
        return x >= box.left && x < box.right && y >= box.top && y < box.bottom &&
               in[static_cast<size_t>((y - box.top) * box.W() + (x - box.left))];
    }
    // The face pixel nearest each corner of the box along its diagonal (rounded corners included).
    std::vector<Point> Corners() const {
        std::vector<Point> out;
        const int xs[2] = {box.left, box.right - 1}, ys[2] = {box.top, box.bottom - 1};
        for (int cy = 0; cy < 2; ++cy)
            for (int cx = 0; cx < 2; ++cx) {
                int x = xs[cx], y = ys[cy];
                while (!Has(x, y) && box.Contains(x, y)) {
                    x += cx ? -1 : 1;
                    y += cy ? -1 : 1;
                }
                out.push_back({x, y});
            }
        return out;
    }
};

Face FaceFromPixels(const std::vector<Point>& pixels) {
    Face f;
    f.box = {pixels[0].x, pixels[0].y, pixels[0].x + 1, pixels[0].y + 1};
    for (const Point& p : pixels)
        f.box = {std::min(f.box.left, p.x), std::min(f.box.top, p.y), std::max(f.box.right, p.x + 1),
                 std::max(f.box.bottom, p.y + 1)};
    f.in.assign(static_cast<size_t>(f.box.W() * f.box.H()), false);
    for (const Point& p : pixels)
        f.in[static_cast<size_t>((p.y - f.box.top) * f.box.W() + (p.x - f.box.left))] = true;
    return f;
}

// The background's button faces: regions set off from the panel grey, of a button's size, bounded
// by their dark outline (the drop shadow below the outline is not part of the face).
std::vector<Face> ButtonFaces(const RAST_MemBitmap& art) {
    const int w = art.Width(), h = art.Height();
    std::vector<bool> seen(static_cast<size_t>(w * h), false);
    std::vector<Face> faces;
    for (int y0 = 0; y0 < h; ++y0)
        for (int x0 = 0; x0 < w; ++x0) {
            if (seen[static_cast<size_t>(y0 * w + x0)] || NearGrey(art.Row(y0)[x0], 100, 12)) continue;
            std::vector<Point> region, stack{{x0, y0}};
            seen[static_cast<size_t>(y0 * w + x0)] = true;
            while (!stack.empty()) {
                const Point p = stack.back();
                stack.pop_back();
                region.push_back(p);
                for (Point n : {Point{p.x + 1, p.y}, Point{p.x - 1, p.y}, Point{p.x, p.y + 1}, Point{p.x, p.y - 1}}) {
                    if (n.x < 0 || n.y < 0 || n.x >= w || n.y >= h) continue;
                    if (seen[static_cast<size_t>(n.y * w + n.x)] || NearGrey(art.Row(n.y)[n.x], 100, 12)) continue;
                    seen[static_cast<size_t>(n.y * w + n.x)] = true;
                    stack.push_back(n);
                }
            }
            const IPixelRect box = FaceFromPixels(region).box;
            if (box.W() < 40 || box.W() > 80 || box.H() < 15 || box.H() > 30) continue;
            std::vector<Point> outline;
            for (const Point& p : region)
                if (MaxChannel(art.Row(p.y)[p.x]) < 70) outline.push_back(p);
            const IPixelRect edge = FaceFromPixels(outline).box;
            std::vector<Point> inside;
            for (const Point& p : region)
                if (edge.Contains(p.x, p.y)) inside.push_back(p);
            faces.push_back(FaceFromPixels(inside));
        }
    std::sort(faces.begin(), faces.end(), [](const Face& a, const Face& b) {
        return a.box.top != b.box.top ? a.box.top < b.box.top : a.box.left < b.box.left;
    });
    return faces;
}

// The plot: the background's black pixels.
Face PlotFace(const RAST_MemBitmap& art) {
    std::vector<Point> black;
    for (int y = 0; y < art.Height(); ++y)
        for (int x = 0; x < art.Width(); ++x)
            if (MaxChannel(art.Row(y)[x]) < 8) black.push_back({x, y});
    return FaceFromPixels(black);
}

// Where frame `frame` (of `frames` stacked vertically) of a sprite appears in the rendered editor,
// as the faces of its opaque pixels at each place; top to bottom, then left to right.
std::vector<Face> SpriteFaces(const RAST_IBitmap& editor, const RAST_MemBitmap& sprite, int frames, int frame) {
    const int fw = sprite.Width(), fh = sprite.Height() / frames;
    std::vector<Point> opaque;
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x)
            if (Alpha(sprite.Row(frame * fh + y)[x]) == 255) opaque.push_back({x, y});
    std::vector<Face> faces;
    for (int y0 = 0; y0 + fh <= editor.Height(); ++y0)
        for (int x0 = 0; x0 + fw <= editor.Width(); ++x0) {
            bool same = !opaque.empty();
            for (size_t i = 0; same && i < opaque.size(); ++i) {
                const Point& p = opaque[i];
                same = (editor.Row(y0 + p.y)[x0 + p.x] & 0xffffffu) ==
                       (sprite.Row(frame * fh + p.y)[p.x] & 0xffffffu);
            }
            if (!same) continue;
            std::vector<Point> at;
            for (const Point& p : opaque)
                at.push_back({x0 + p.x, y0 + p.y});
            faces.push_back(FaceFromPixels(at));
        }
    return faces;
}

std::unique_ptr<RAST_MemBitmap> Art(const EditorImage& image) {
    return std::unique_ptr<RAST_MemBitmap>(LoadPngResource(image.resourceId));
}

} // namespace

TEST_F(EditorApp, ClicksAtTheCornersOfEveryPaintedFaceReachItsControl) {
    auto paramAt = [&](Point p) {
        const int idx = editor->FindControlAt(p.x, p.y);
        return idx < 0 ? -1 : editor->GetControl(idx)->ParamIdx();
    };
    const std::unique_ptr<RAST_MemBitmap> background = Art(kBackgroundImage);
    ASSERT_TRUE(background);

    // Help, About and Reset above; Start, Save and Load below.
    const std::vector<Face> buttons = ButtonFaces(*background);
    const int buttonParams[] = {kParamHelp, kParamAbout, kParamReset, kParamStart, kParamSave, kParamLoad};
    ASSERT_EQ(buttons.size(), 6u);
    for (size_t i = 0; i < buttons.size(); ++i)
        for (Point p : buttons[i].Corners())
            EXPECT_EQ(paramAt(p), buttonParams[i]) << "button " << i << " at " << p.x << "," << p.y;

    const Face plot = PlotFace(*background);
    ASSERT_GT(plot.box.W(), 400);
    for (Point p : plot.Corners())
        EXPECT_EQ(paramAt(p), kParamDisplay) << "plot at " << p.x << "," << p.y;

    // The input selector's picture, in either state: each corner click swaps the inputs.
    const std::unique_ptr<RAST_MemBitmap> inputs = Art(kInputsImage);
    ASSERT_TRUE(inputs);
    for (int state = 0; state < 2; ++state) {
        std::vector<Face> at = SpriteFaces(*editor->Presented(), *inputs, 2, static_cast<int>(Param(kParamInputs)));
        ASSERT_EQ(at.size(), 1u) << "state " << state;
        for (Point p : at[0].Corners()) {
            const double before = Param(kParamInputs);
            Click(p.x, p.y);
            EXPECT_EQ(Param(kParamInputs), 1.0 - before) << "inputs at " << p.x << "," << p.y;
        }
        Click((at[0].box.left + at[0].box.right) / 2, (at[0].box.top + at[0].box.bottom) / 2);
        editor->TickUntilClean();
    }

    // The radio marks, lit or not: three outputs above two resolutions. A corner click selects
    // the mark clicked.
    const std::unique_ptr<RAST_MemBitmap> radio = Art(kRadioImage);
    ASSERT_TRUE(radio);
    std::vector<Face> marks = SpriteFaces(*editor->Presented(), *radio, 2, 0);
    for (Face& f : SpriteFaces(*editor->Presented(), *radio, 2, 1))
        marks.push_back(std::move(f));
    std::sort(marks.begin(), marks.end(), [](const Face& a, const Face& b) { return a.box.top < b.box.top; });
    ASSERT_EQ(marks.size(), 5u);
    const struct {
        int param;
        double value;
    } markChoices[] = {{kParamOutputs, 0.0}, {kParamOutputs, 0.5}, {kParamOutputs, 1.0},
                       {kParamResolution, 0.0}, {kParamResolution, 1.0}};
    for (size_t i = 0; i < marks.size(); ++i)
        for (Point p : marks[i].Corners()) {
            EXPECT_EQ(paramAt(p), markChoices[i].param) << "mark " << i << " at " << p.x << "," << p.y;
            Click(p.x, p.y);
            EXPECT_EQ(Param(markChoices[i].param), markChoices[i].value) << "mark " << i << " at " << p.x << "," << p.y;
        }

    // The fader's knob at both ends of its travel and in the middle.
    const std::unique_ptr<RAST_MemBitmap> knob = Art(kFaderImage);
    ASSERT_TRUE(knob);
    for (double gain : {0.0, 0.5, 1.0}) {
        editor->ApplyHostValueToControls(kParamGain, gain);
        editor->TickUntilClean();
        const std::vector<Face> at = SpriteFaces(*editor->Presented(), *knob, 1, 0);
        ASSERT_EQ(at.size(), 1u) << "gain " << gain;
        for (Point p : at[0].Corners())
            EXPECT_EQ(paramAt(p), kParamGain) << "knob at gain " << gain << ": " << p.x << "," << p.y;
    }
}
