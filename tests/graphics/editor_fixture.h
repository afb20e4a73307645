#pragma once

#include "framework/effect_base.h"
#include "graphics/control.h"
#include "graphics/headless/headless_graphics.h"
#include "raster/blit.h"
#include "raster/mem_bitmap.h"
#include "raster/sys_bitmap.h"
#include "support/effect_facts.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A plug-in with a few parameters that records what the editor asks of it.
class RecordingPlug : public IEffectBase {
  public:
    explicit RecordingPlug(int nParams = 4) : IEffectBase(StereoEffectFacts(nParams, "Test")) {
        for (int i = 0; i < nParams; ++i) {
            std::string name = "Param " + std::to_string(i);
            GetParam(i)->InitContinuous(name.c_str(), 0.0, 0.0, 1.0, 0.0001, "", "", 1.0);
        }
    }

    void PopupHostContextMenu(int paramIdx, int x, int y) override {
        log.push_back("menu " + Args(paramIdx, x, y));
    }
    void BeginParamGesture(int paramIdx) override { log.push_back("begin " + std::to_string(paramIdx)); }
    void EndParamGesture(int paramIdx) override { log.push_back("end " + std::to_string(paramIdx)); }
    void InformHostOfParamChange(int paramIdx, double normalized) override {
        fromUI.push_back({paramIdx, normalized});
    }
    void ResizeEditor(int w, int h) override { log.push_back("resize " + Args(w, h)); }

    struct Edit {
        int paramIdx;
        double normalized;
    };
    std::vector<std::string> log;
    std::vector<Edit> fromUI;

  private:
    template <typename... A> static std::string Args(A... a) {
        std::string s;
        ((s += (s.empty() ? "" : " ") + std::to_string(a)), ...);
        return s;
    }
};

// A control that records every call and paints its rectangle in one colour.
class ProbeControl : public IControl {
  public:
    ProbeControl(IEffectBase* plug, const IPixelRect& r, int paramIdx = -1, RAST_Pixel colour = 0xff808080u)
        : IControl(plug, r, paramIdx), colour(colour) {}

    bool Paint(IGraphics* g) override {
        ++paints;
        IPixelRect k = drawRect.Intersection(g->DrawArea());
        if (k.W() > 0 && k.H() > 0)
            FillRectangle(g->DrawSurface(), k.left, k.top, k.W(), k.H(), colour, blend.weight, ModeCopy);
        return true;
    }
    void HandleMouseDown(int x, int y, const IMouseMods& m) override {
        calls.push_back("down " + std::to_string(x) + " " + std::to_string(y) + (m.right ? " R" : ""));
        IControl::HandleMouseDown(x, y, m);
    }
    void HandleMouseUp(int x, int y, const IMouseMods&) override {
        calls.push_back("up " + std::to_string(x) + " " + std::to_string(y));
    }
    void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseMods& m) override {
        calls.push_back("drag " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(dx) +
                        " " + std::to_string(dy) + (m.right ? " R" : ""));
    }
    void HandleDoubleClick(int x, int y, const IMouseMods& m) override {
        calls.push_back("dbl");
        IControl::HandleDoubleClick(x, y, m);
    }
    void HandleWheel(int, int, const IMouseMods&, int steps) override {
        calls.push_back("wheel " + std::to_string(steps));
    }
    bool HandleKey(int, int, int code) override {
        calls.push_back("key " + std::to_string(code));
        return takesKeys;
    }
    void HandleMouseOver(int, int, const IMouseMods&) override { calls.push_back("over"); }
    void HandleMouseOut() override { calls.push_back("out"); }
    void ApplyEnteredText(const char* text) override { calls.push_back(std::string("text ") + text); }

    RAST_Pixel colour;
    int paints = 0;
    bool takesKeys = true;
    std::vector<std::string> calls;
};

// The headless editor with images made in memory instead of read from module resources.
class TestEditor : public IGraphicsHeadless {
  public:
    using IGraphicsHeadless::IGraphicsHeadless;

    RAST_IBitmap* LoadPlatformImage(int resourceId, const char* fileName) override {
        ++imageLoads;
        auto it = images.find(resourceId);
        if (it == images.end()) return IGraphicsHeadless::LoadPlatformImage(resourceId, fileName);
        return it->second();
    }

    std::map<int, std::function<RAST_IBitmap*()>> images;
    int imageLoads = 0;
};

// A memory bitmap of w x h whose pixel (x, y) is f(x, y).
inline RAST_MemBitmap* MakeBitmap(int w, int h, const std::function<RAST_Pixel(int, int)>& f) {
    auto* b = new RAST_MemBitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->Row(y)[x] = f(x, y);
    return b;
}

inline RAST_Pixel PixelAt(const RAST_IBitmap* b, int x, int y) {
    return b->Row(y)[x];
}

// An editor of w x h with its surfaces ready and its "window" open.
struct EditorRig {
    explicit EditorRig(int w = 64, int h = 48, int nParams = 4) : plug(nParams), editor(&plug, w, h, 25) {
        editor.PrepareSurfaces();
        editor.AttachToParent(nullptr);
    }
    template <typename C> C* Add(C* c) {
        editor.AddControl(c);
        return c;
    }
    RecordingPlug plug;
    TestEditor editor;
};
