#pragma once

// A small editor made of the standard controls, built the same way into any back end, so a real
// window's pixels can be compared with the headless render of the same state.

#include "editor_fixture.h"
#include "graphics/bitmap_control.h"
#include "graphics/fader_control.h"
#include "graphics/radio_buttons_control.h"
#include "graphics/text_control.h"

#include <memory>

// A plug-in whose right-button presses reach the controls (no host context menu in between).
class SamplePlug : public RecordingPlug {
  public:
    SamplePlug() : RecordingPlug(4) {
        bindingKind = 0;
        GetParam(0)->InitContinuous("Mode", 0.0, 0.0, 2.0, 1.0, "", "", 1.0);
        GetParam(1)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.01, "", "", 1.0);
        GetParam(2)->value = 0.75;
        GetParam(3)->InitContinuous("Steps", 0.0, 0.0, 8.0, 1.0, "", "", 1.0);
        GetParam(3)->type = 2; // stepped: whole numbers only
    }
};

struct SampleArtwork {
    static constexpr RAST_Pixel kFace = 0xff646464u;
    std::unique_ptr<RAST_MemBitmap> background{MakeBitmap(200, 110, [](int x, int y) {
        bool panel = x >= 4 && x < 140 && y >= 4 && y < 50;
        return panel ? 0xff101820u : kFace;
    })};
    // Two frames of 8 x 8: a ring and a filled disc, with half-alpha edges.
    std::unique_ptr<RAST_MemBitmap> radio{MakeBitmap(8, 16, [](int x, int y) {
        int fy = y % 8, dx = 2 * x - 7, dy = 2 * fy - 7, d2 = dx * dx + dy * dy;
        if (d2 > 64) return 0x00000000u;
        if (d2 > 40) return 0x80ffffffu;
        if (d2 > 24) return 0xffffffffu;
        return y >= 8 ? 0xff00b8c2u : 0x00000000u;
    })};
    std::unique_ptr<RAST_MemBitmap> handle{MakeBitmap(10, 10, [](int x, int y) {
        return (x == 0 || y == 0 || x == 9 || y == 9) ? 0x80e0e0e0u : 0xffe0e0e0u;
    })};
    // Five frames of 60 x 8: a bar filling from the left.
    std::unique_ptr<RAST_MemBitmap> meter{MakeBitmap(60, 40, [](int x, int y) {
        int frame = y / 8;
        return x < frame * 60 / 4 ? 0xff20c020u : 0xff303030u;
    })};

    static IImageStrip Strip(RAST_MemBitmap* b, int frames) {
        return {b, b->Width(), b->Height(), frames, false};
    }
};

// Where the sample's controls lie.
struct SampleLayout {
    static constexpr IPixelRect kRadio{150, 6, 158, 38};
    static constexpr int kFaderX = 20, kFaderY = 80, kFaderLength = 110;
    static constexpr int kMeterX = 20, kMeterY = 60;
    static constexpr IPixelRect kText{10, 10, 130, 30};
    static constexpr IPixelRect kProbe{160, 60, 190, 90};
    static constexpr IPixelRect kStepped{160, 92, 190, 106};
};

// Adds the sample's controls to `editor` and hands it the plug-in's values, as the plug-in base
// does when it takes an editor. Returns the probe control (the last one).
inline ProbeControl* BuildSampleEditor(IGraphics& editor, SamplePlug& plug, SampleArtwork& art) {
    using L = SampleLayout;
    editor.AddControl(
        new IBitmapControl(&plug, 0, 0, -1, art.Strip(art.background.get(), 1), IBlendSpec::kOpaque));
    auto* radio = new IRadioButtonsControl(&plug, L::kRadio, 0, 3, art.Strip(art.radio.get(), 2));
    editor.AddControl(radio);
    auto* fader =
        new IFaderControl(&plug, L::kFaderX, L::kFaderY, L::kFaderLength, 1, art.Strip(art.handle.get(), 1));
    fader->SetPromptDisabled(false);
    editor.AddControl(fader);
    editor.AddControl(new IBitmapControl(&plug, L::kMeterX, L::kMeterY, 2, art.Strip(art.meter.get(), 5)));
    ITextStyle style("Verdana", 12, IArgbColor(255, 220, 220, 220), ITextStyle::kBold, ITextStyle::kFar);
    editor.AddControl(new ITextControl(&plug, L::kText, style, "Sample 1.0"));
    auto* stepped = new ProbeControl(&plug, L::kStepped, 3, 0xff4050a0u);
    stepped->SetPromptDisabled(false);
    editor.AddControl(stepped);
    auto* probe = new ProbeControl(&plug, L::kProbe, -1, 0xffa05030u);
    probe->SetDoubleClickAsSingleClick(false);
    editor.AddControl(probe);
    for (int i = 0; i < plug.NParams(); ++i)
        editor.ApplyHostValueToControls(i, plug.GetParam(i)->ToNormalized(plug.GetParam(i)->value));
    editor.PrepareSurfaces();
    return probe;
}
