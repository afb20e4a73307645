#pragma once

#include "graphics/blend_spec.h"
#include "graphics/mouse_mods.h"
#include "graphics/pixel_rect.h"
#include "graphics/text_style.h"

#include <string>
#include <vector>

// Threads. Controls live on the editor's thread. The only calls from other threads are
// ApplyHostValue and ApplyHostAuxValue, made by the editor core for the binding under the plug-in
// lock (host parameter changes, including those applied at the start of `process`); they only set
// the value and mark the control for redraw, and the draw itself happens on the editor's thread.
class IEffectBase;
class IGraphics;
class IParamRecord;
class ITextControl;

// A further parameter a control shows besides the one it is bound to.
struct AuxParam {
    int paramIdx = -1;
    double value = 0.0;
};

// Base of everything the editor shows: a rectangle that paints itself into the editor's draw
// surface, takes pointer and key input and may be bound to a plug-in parameter. Its value is the
// parameter's normalised value. Derived classes keep this operation order and append their own.
class IControl {
  public:
    IControl(IEffectBase* plug, const IPixelRect& rect, int paramIdx = -1,
             int blendMethod = IBlendSpec::kAlpha);
    // Frees the tooltip and the auxiliary bindings with the object.
    virtual ~IControl();
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // ---- Virtual operations, in slot order ----
    virtual void HandleMouseDown(int x, int y, const IMouseMods& mods);
    virtual void HandleMouseUp(int /*x*/, int /*y*/, const IMouseMods& /*mods*/) {}
    virtual void HandleMouseDrag(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/, const IMouseMods& /*mods*/) {}
    virtual void HandleDoubleClick(int x, int y, const IMouseMods& mods);
    virtual void HandleWheel(int /*x*/, int /*y*/, const IMouseMods& /*mods*/, int /*steps*/) {}
    virtual bool HandleKey(int /*x*/, int /*y*/, int /*keyCode*/) { return false; }
    virtual void HandleMouseOver(int /*x*/, int /*y*/, const IMouseMods& /*mods*/) {}
    virtual void HandleMouseOut() {}
    virtual bool Paint(IGraphics* editor) = 0;
    virtual void ApplyHostValue(double v);
    virtual void ApplyUserValue(double v);
    virtual void ApplyEnteredText(const char* /*text*/) {}
    virtual void SetHidden(bool hide);
    virtual void SetDisabled(bool disable);
    virtual bool HitTest(int x, int y);
    virtual void MarkDirty(bool pushToPlug);
    virtual void MarkClean();
    virtual bool NeedsRepaint() { return dirty; }
    virtual void ApplyHostAuxValue(int position, double v);

    // Asks the editor for a value entry (menu or text field) for the bound parameter.
    void ShowValueEntryForControl();

    // ---- Bindings and state ----
    int ParamIdx() const { return paramIdx; }
    // The bound parameter's record; null when unbound or when the plug-in has no such parameter.
    IParamRecord* Param() const;
    void AddAuxParam(int paramIdx);
    int NAuxParams() const { return int(auxParams.size()); }
    // Null for a position outside the list.
    AuxParam* GetAuxParam(int position);

    double Value() const { return value; }
    void SetValue(double v) { value = v; }
    double DefaultValue() const { return defaultValue; }
    void SetClamp(double lo, double hi) {
        clampLo = lo;
        clampHi = hi;
    }

    const IPixelRect& DrawRect() const { return drawRect; }
    const IPixelRect& TargetRect() const { return targetRect; }
    void SetTargetRect(const IPixelRect& r) { targetRect = r; }

    bool IsHidden() const { return hidden; }
    bool IsDisabled() const { return disabled; }
    bool RepaintAgain() const { return repaintAgain; }
    void SetRepaintAgain() { repaintAgain = true; }
    bool PromptDisabled() const { return promptDisabled; }
    void SetPromptDisabled(bool off) { promptDisabled = off; }
    bool DoubleClickAsSingleClick() const { return dblAsSingleClick; }
    void SetDoubleClickAsSingleClick(bool on) { dblAsSingleClick = on; }
    bool MouseOverWhenDisabled() const { return mouseOverWhenDisabled; }
    void SetMouseOverWhenDisabled(bool on) { mouseOverWhenDisabled = on; }

    const IBlendSpec& Blend() const { return blend; }
    ITextStyle& TextStyle() { return textStyle; }
    int TextEntryLength() const { return textEntryLength; }
    void SetTextEntryLength(int n) { textEntryLength = n; }
    IEffectBase* Plug() const { return plug; }

    void SetValueDisplay(ITextControl* display) { valueDisplay = display; }
    void SetNameDisplay(ITextControl* display) { nameDisplay = display; }
    const std::string& Tooltip() const { return tooltip; }
    void SetTooltip(std::string text) { tooltip = std::move(text); }

    // The editor this control was added to; set by the editor core.
    IGraphics* Editor() const { return editor; }
    void SetEditor(IGraphics* g) { editor = g; }

  protected:
    int textEntryLength = 7;
    ITextStyle textStyle;
    IEffectBase* plug;
    IPixelRect drawRect;
    IPixelRect targetRect;
    int paramIdx;
    std::vector<AuxParam> auxParams;
    double value = 0.0;
    double defaultValue = -1.0;
    double clampLo = 0.0;
    double clampHi = 1.0;
    bool dirty = true;
    bool hidden = false;
    bool disabled = false;
    bool repaintAgain = false;
    bool promptDisabled = true;
    bool dblAsSingleClick = false;
    bool mouseOverWhenDisabled = false;
    IBlendSpec blend;
    ITextControl* valueDisplay = nullptr;
    ITextControl* nameDisplay = nullptr;
    std::string tooltip;

  private:
    IGraphics* editor = nullptr;
};

// The clamp every control value goes through: below lo gives lo, anything else at most hi. A NaN
// compares false both ways and so ends at hi.
inline double ClampControlValue(double v, double lo, double hi) {
    if (v < lo) return lo;
    return v < hi ? v : hi;
}
