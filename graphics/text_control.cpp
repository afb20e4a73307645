#include "graphics/text_control.h"

#include "graphics/graphics.h"

ITextControl::ITextControl(IEffectBase* plug, const IPixelRect& rect, const ITextStyle& style,
                           std::string initial)
    : IControl(plug, rect, -1, IBlendSpec::kAlpha), text(std::move(initial)) {
    textStyle = style;
}

bool ITextControl::Paint(IGraphics* editor) {
    if (text.empty() || !editor) return true;
    return editor->DrawStyledText(textStyle, text.c_str(), drawRect);
}

void ITextControl::SetText(const std::string& t) {
    if (t == text) return;
    MarkDirty(false);
    text = t;
}
