#pragma once

#include "graphics/control.h"

#include <string>

// A line of text in a fixed style; shows nothing for an empty text.
class ITextControl : public IControl {
  public:
    ITextControl(IEffectBase* plug, const IPixelRect& rect, const ITextStyle& style, std::string text = {});

    bool Paint(IGraphics* editor) override;

    // Marks the control only when the text really changes.
    void SetText(const std::string& text);
    const std::string& Text() const { return text; }

  protected:
    std::string text;
};
