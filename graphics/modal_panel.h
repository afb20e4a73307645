#pragma once

#include "graphics/pixel_rect.h"

#include <functional>
#include <string>
#include <vector>

class IGraphics;

// Keys a panel reads: the window system's own keys, beyond the few control keys of the core.
enum class PanelKey {
    Return,
    Escape,
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
    Backspace,
    Delete,
    Tab,
    Left,
    Right,
    Character
};

// A box the editor draws over its face while the rest is dimmed and takes no input: messages,
// questions, the wait for a file dialog, the editor's own file chooser. Panels lie on a stack;
// the top one gets the pointer and the keys. A panel never deletes itself: it finishes, and the
// editor removes it after the input call that finished it has returned, then tells it (Closed).
class IModalPanel {
  public:
    virtual ~IModalPanel() = default;
    // Draws into the editor's draw surface (the whole face is being drawn).
    virtual void Paint(IGraphics& editor) = 0;
    virtual void Click(IGraphics& editor, int x, int y, bool doubleClick) = 0;
    // True when the key was taken.
    virtual bool Key(IGraphics& editor, PanelKey key, int character) = 0;
    virtual void Wheel(IGraphics&, int) {}
    // After removal from the editor, once. May open another panel.
    virtual void Closed(IGraphics&) {}
    // Whether the panel stays while the editor's window is closed (a plain message, to be read
    // when it opens again); others belong to what the window was doing and go with it.
    virtual bool KeepsWithoutWindow() const { return false; }

    void Finish() { finished = true; }
    bool Finished() const { return finished; }

  private:
    bool finished = false;
};

// Drawing in the look of the About box, shared by the panels.
namespace panel_look {
// The box: dark border, a grey that darkens downwards, the caption and a teal rule below it.
// Returns the area under the rule where the panel's content goes.
IPixelRect DrawBox(IGraphics& editor, const IPixelRect& box, const std::string& caption);
// A grey push button with a bold white label; `focused` draws a teal edge.
void DrawButton(IGraphics& editor, const IPixelRect& r, const char* label, bool focused);
// Body text, wrapped at word boundaries (long words are broken) into lines that fit `width`.
std::vector<std::string> WrapText(IGraphics& editor, const std::string& text, int width);
void DrawTextLine(IGraphics& editor, const std::string& text, const IPixelRect& r, bool bold = false,
                  int colour = 0xffe2e2e2, bool centred = false);
int LineHeight();
// Box of a given size centred on the editor.
IPixelRect Centred(IGraphics& editor, int w, int h);
} // namespace panel_look

// A message with its caption and one or more buttons (OK; or Yes and No). Return presses the
// focused button, Escape the last one; Tab and the arrows move the focus.
class MessagePanel : public IModalPanel {
  public:
    MessagePanel(std::string caption, std::string text, std::vector<std::string> buttons = {"OK"},
                 std::function<void(int)> answered = nullptr);
    void Paint(IGraphics& editor) override;
    void Click(IGraphics& editor, int x, int y, bool doubleClick) override;
    bool Key(IGraphics& editor, PanelKey key, int character) override;
    void Closed(IGraphics& editor) override;
    bool KeepsWithoutWindow() const override { return !answered; }

    const std::string& Caption() const { return caption; }
    const std::string& Text() const { return text; }
    // Where the box and its buttons sit (after the first Paint; tests click them).
    const IPixelRect& Box() const { return box; }
    IPixelRect ButtonRect(int index) const;

  private:
    void Layout(IGraphics& editor);
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
    std::function<void(int)> answered;
    std::vector<std::string> lines;
    IPixelRect box;
    int focus = 0;
    int answer = -1;
    bool laidOut = false;
};
