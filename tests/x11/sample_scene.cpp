#include "x11/sample_scene.h"

#include "graphics/bitmap_control.h"
#include "graphics/editor_fixture.h"
#include "graphics/fader_control.h"
#include "graphics/radio_buttons_control.h"
#include "graphics/text_control.h"

#include <memory>

namespace {

struct SceneArtwork {
    // Every pixel different from its neighbours, so a shifted or scaled picture shows.
    std::unique_ptr<RAST_MemBitmap> background{MakeBitmap(kSceneWidth, kSceneHeight, [](int x, int y) {
        return 0xff000000u | uint32_t((x * 3) & 0xff) << 16 | uint32_t((y * 5) & 0xff) << 8 |
               uint32_t((x + y) & 0xff);
    })};
    // Two frames of 12 x 12 with soft edges: a ring and a disc.
    std::unique_ptr<RAST_MemBitmap> radio{MakeBitmap(12, 24, [](int x, int y) {
        int fy = y % 12, dx = 2 * x - 11, dy = 2 * fy - 11, d2 = dx * dx + dy * dy;
        if (d2 > 121) return 0x00000000u;
        if (d2 > 90) return 0x80ffffffu;
        if (d2 > 60) return 0xffffffffu;
        return y >= 12 ? 0xff00b8c2u : 0x00000000u;
    })};
    std::unique_ptr<RAST_MemBitmap> handle{MakeBitmap(10, 10, [](int x, int y) {
        return (x == 0 || y == 0 || x == 9 || y == 9) ? 0x80e0e0e0u : 0xffe0e0e0u;
    })};
    std::unique_ptr<RAST_MemBitmap> meter{MakeBitmap(60, 30, [](int x, int y) {
        int frame = y / 6;
        return x < frame * 15 ? 0xff20c020u : 0xff303030u;
    })};
};

SceneArtwork& Artwork() {
    static SceneArtwork art;
    return art;
}

IImageStrip Strip(RAST_MemBitmap* b, int frames) {
    return {b, b->Width(), b->Height(), frames, false};
}

} // namespace

void DefineSceneParameters(IEffectBase& plug) {
    plug.GetParam(0)->InitContinuous("Mode", 0.0, 0.0, 2.0, 1.0, "", "", 1.0);
    plug.GetParam(1)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.0001, "", "", 1.0);
    plug.GetParam(2)->InitContinuous("Meter", 0.75, 0.0, 1.0, 0.0001, "", "", 1.0);
    plug.GetParam(3)->InitContinuous("Free", 0.0, 0.0, 1.0, 0.0001, "", "", 1.0);
}

ProbeControl* BuildScene(IGraphics& editor, IEffectBase& plug) {
    SceneArtwork& art = Artwork();
    editor.AddControl(
        new IBitmapControl(&plug, 0, 0, -1, Strip(art.background.get(), 1), IBlendSpec::kOpaque));
    editor.AddControl(new IRadioButtonsControl(&plug, kSceneRadio, 0, 3, Strip(art.radio.get(), 2)));
    editor.AddControl(new IFaderControl(&plug, kSceneFaderX, kSceneFaderY, kSceneFaderLength, 1,
                                        Strip(art.handle.get(), 1)));
    editor.AddControl(new IBitmapControl(&plug, 110, 30, 2, Strip(art.meter.get(), 5)));
    ITextStyle style("Verdana", 12, IArgbColor(255, 230, 230, 230), ITextStyle::kBold, ITextStyle::kFar);
    editor.AddControl(new ITextControl(&plug, kSceneText, style, "Sample 1.0"));
    auto* probe = new ProbeControl(&plug, kSceneProbe, -1, 0xff40a040u);
    editor.AddControl(probe);
    editor.SetKeyCatcher(probe);
    return probe;
}

void RadioButtonCentre(int i, int& x, int& y) {
    // Three buttons of 12 pixels, spread over the group's height.
    const int gap = (kSceneRadio.H() - 3 * 12) / 2;
    x = kSceneRadio.left + 6;
    y = kSceneRadio.top + i * (12 + gap) + 6;
}
