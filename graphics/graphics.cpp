#include "graphics/graphics.h"

#include "framework/effect_base.h"
#include "graphics/control.h"
#include "graphics/modal_panel.h"
#include "raster/blit.h"
#include "raster/mem_bitmap.h"
#include "raster/sys_bitmap.h"

IGraphics::IGraphics(IEffectBase* plug_, int w, int h, int rate)
    : plug(plug_), width(w), height(h), frameRate(rate) {}

IGraphics::~IGraphics() {
    DeleteControls();
    drawSurface.reset();
    scratch.reset();
}

void IGraphics::DeleteControls() {
    // Pointers into the list die with it.
    keyCatcher = nullptr;
    mouseOverIdx = -1;
    captureIdx = -1;
    controls.clear();
}

int IGraphics::AddControl(IControl* control) {
    if (!control) return -1;
    // Added twice it would be deleted twice; a control of another editor is that editor's.
    if (control->Editor() == this) {
        for (int i = 0; i < NControls(); ++i)
            if (controls[size_t(i)].get() == control) return i;
    }
    if (control->Editor()) return -1;
    control->SetEditor(this);
    controls.emplace_back(control);
    return NControls() - 1;
}

IControl* IGraphics::GetControl(int idx) const {
    if (idx < 0 || idx >= NControls()) return nullptr;
    return controls[size_t(idx)].get();
}

void IGraphics::PrepareSurfaces() {
    drawSurface = std::make_unique<RAST_SysBitmap>(width, height);
    scratch = std::make_unique<RAST_MemBitmap>(0, 0, 4);
}

void IGraphics::Resize(int w, int h) {
    width = w;
    height = h;
    ReleaseCapture();
    DeleteControls();
    drawSurface.reset();
    scratch.reset();
    PrepareSurfaces();
    if (plug) plug->ResizeEditor(w, h);
}

// ---- Values between the plug-in and the controls ----

void IGraphics::ApplyHostValueToControls(int paramIdx, double normalized) {
    for (auto& c : controls) {
        if (c->ParamIdx() == paramIdx) c->ApplyHostValue(normalized);
        for (int k = 0; k < c->NAuxParams(); ++k) {
            if (c->GetAuxParam(k)->paramIdx == paramIdx) {
                c->ApplyHostAuxValue(k, normalized);
                break;
            }
        }
    }
}

void IGraphics::PushParamToControls(int paramIdx, double value, bool normalized) {
    if (!normalized) {
        const IParamRecord* record = plug ? plug->GetParam(paramIdx) : nullptr;
        if (!record) return;
        value = record->ToNormalized(value);
    }
    ApplyHostValueToControls(paramIdx, value);
}

void IGraphics::MarkAllControlsDirty() {
    for (auto& c : controls)
        c->MarkDirty(false);
}

// ---- Draw cycle ----

bool IGraphics::CollectDirtyArea(IPixelRect& r) {
    if (drawCycleListener) drawCycleListener->OnDrawCycle();
    ShowQueuedMessages();
    SweepPanels();
    r = IPixelRect();
    bool any = false;
    for (auto& c : controls) {
        if (c->NeedsRepaint()) {
            r = r.Union(c->DrawRect());
            any = true;
        }
    }
    return any;
}

bool IGraphics::DrawDirty(const IPixelRect& area) {
    if (controls.empty()) return true;
    // Under a panel the whole face is drawn: the dimming and the panel's text go over all of it
    // exactly once.
    const IPixelRect r = panels.empty() ? area : IPixelRect(0, 0, width, height);
    if (strictDrawing || !panels.empty()) {
        drawArea = r;
        for (auto& c : controls) {
            if (!c->IsHidden() && r.Meets(c->DrawRect())) c->Paint(this);
            c->MarkClean();
        }
    } else if (controls[0]->NeedsRepaint()) {
        // The background repaints everything on top of it.
        drawArea = controls[0]->DrawRect();
        for (size_t i = 0; i < controls.size(); ++i) {
            IControl* c = controls[i].get();
            if (i == 0 || !c->IsHidden()) {
                c->Paint(this);
                c->MarkClean();
            }
        }
    } else {
        for (size_t i = 1; i < controls.size(); ++i) {
            IControl* dirty = controls[i].get();
            if (!dirty->NeedsRepaint()) continue;
            drawArea = dirty->DrawRect();
            for (size_t j = 0; j < controls.size(); ++j) {
                IControl* c = controls[j].get();
                if (c->IsHidden()) continue;
                if (j == i || c->DrawRect().Meets(drawArea)) c->Paint(this);
            }
            dirty->MarkClean();
        }
    }
    if (!panels.empty()) PaintPanels();
    return PresentArea(r);
}

bool IGraphics::DrawImage(const IImageStrip& strip, const IPixelRect& d, int srcX, int srcY,
                          const IBlendSpec* blend) {
    IBlendSpec settings = blend ? *blend : IBlendSpec();
    IPixelRect k = d.Meets(drawArea) ? d.Intersection(drawArea) : IPixelRect();
    RAST_Rect src{srcX + k.left - d.left, srcY + k.top - d.top, srcX + k.right - d.left,
                  srcY + k.bottom - d.top};
    BlitBitmap(drawSurface.get(), strip.bitmap, k.left, k.top, &src, settings.weight, settings.BlitMode());
    return true;
}
