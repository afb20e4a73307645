#include "graphics/modal_panel.h"

#include "graphics/graphics.h"
#include "graphics/text_style.h"
#include "raster/blit.h"
#include "raster/sys_bitmap.h"

#include <algorithm>

namespace panel_look {

namespace {

constexpr RAST_Pixel kBorder = 0xff1c1c1eu;
constexpr RAST_Pixel kTeal = 0xff00b8c2u;
constexpr RAST_Pixel kRule = 0xff1e838au;
constexpr int kLineHeight = 16;

RAST_Pixel Grey(int v, int blueExtra = 4) {
    return 0xff000000u | RAST_Pixel(v) << 16 | RAST_Pixel(v) << 8 | RAST_Pixel(std::min(255, v + blueExtra));
}

void Fill(IGraphics& editor, const IPixelRect& r, RAST_Pixel colour) {
    if (r.W() <= 0 || r.H() <= 0) return;
    FillRectangle(editor.DrawSurface(), r.left, r.top, r.W(), r.H(), colour, 1.0f, ModeCopy);
}

// A vertical blend from `top` to `bottom` grey.
void Gradient(IGraphics& editor, const IPixelRect& r, int top, int bottom) {
    const int h = std::max(1, r.H() - 1);
    for (int y = r.top; y < r.bottom; ++y)
        Fill(editor, IPixelRect(r.left, y, r.right, y + 1), Grey(top + (bottom - top) * (y - r.top) / h));
}

void Frame(IGraphics& editor, const IPixelRect& r, RAST_Pixel colour) {
    Fill(editor, IPixelRect(r.left, r.top, r.right, r.top + 1), colour);
    Fill(editor, IPixelRect(r.left, r.bottom - 1, r.right, r.bottom), colour);
    Fill(editor, IPixelRect(r.left, r.top, r.left + 1, r.bottom), colour);
    Fill(editor, IPixelRect(r.right - 1, r.top, r.right, r.bottom), colour);
}

ITextStyle BodyStyle(bool bold, int colour, bool centred) {
    return ITextStyle(
        "Verdana", 12,
        IArgbColor((colour >> 24) & 0xff, (colour >> 16) & 0xff, (colour >> 8) & 0xff, colour & 0xff),
        bold ? ITextStyle::kBold : ITextStyle::kNormal, centred ? ITextStyle::kCentre : ITextStyle::kNear);
}

int TextWidth(IGraphics& editor, const std::string& text) {
    if (text.empty()) return 0;
    ITextStyle style = BodyStyle(false, int(0xffe2e2e2), false);
    IPixelRect r(0, 0, 10000, kLineHeight);
    if (!editor.MeasureStyledText(style, text.c_str(), r)) return int(text.size()) * 7;
    return r.W();
}

} // namespace

int LineHeight() {
    return kLineHeight;
}

IPixelRect Centred(IGraphics& editor, int w, int h) {
    w = std::min(w, editor.Width() - 8);
    h = std::min(h, editor.Height() - 8);
    const int left = (editor.Width() - w) / 2, top = (editor.Height() - h) / 2;
    return IPixelRect(left, top, left + w, top + h);
}

IPixelRect DrawBox(IGraphics& editor, const IPixelRect& box, const std::string& caption) {
    Gradient(editor, box, 74, 47);
    Frame(editor, box, kBorder);
    // The accent mark and the caption, as the About box shows its name.
    Fill(editor, IPixelRect(box.left + 12, box.top + 10, box.left + 16, box.top + 24), kTeal);
    ITextStyle title("Verdana", 14, IArgbColor(255, 226, 226, 226), ITextStyle::kBold, ITextStyle::kNear);
    editor.DrawStyledText(title, caption.c_str(),
                          IPixelRect(box.left + 22, box.top + 9, box.right - 10, box.top + 25));
    Fill(editor, IPixelRect(box.left + 10, box.top + 31, box.right - 10, box.top + 32), kRule);
    return IPixelRect(box.left + 14, box.top + 40, box.right - 14, box.bottom - 8);
}

void DrawButton(IGraphics& editor, const IPixelRect& r, const char* label, bool focused) {
    Gradient(editor, IPixelRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1), 154, 119);
    Frame(editor, r, focused ? kTeal : 0xff2c2c2eu);
    ITextStyle style("Verdana", 12, IArgbColor(255, 255, 255, 255), ITextStyle::kBold, ITextStyle::kCentre);
    editor.DrawStyledText(style, label, IPixelRect(r.left, r.top + (r.H() - 13) / 2, r.right, r.bottom));
}

void DrawTextLine(IGraphics& editor, const std::string& text, const IPixelRect& r, bool bold, int colour,
                  bool centred) {
    if (text.empty()) return;
    ITextStyle style = BodyStyle(bold, colour, centred);
    editor.DrawStyledText(style, text.c_str(), r);
}

std::vector<std::string> WrapText(IGraphics& editor, const std::string& text, int width) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string paragraph = text.substr(start, end - start);
        std::string line;
        size_t at = 0;
        while (at < paragraph.size()) {
            size_t next = paragraph.find(' ', at);
            if (next == std::string::npos) next = paragraph.size();
            std::string word = paragraph.substr(at, next - at);
            std::string candidate = line.empty() ? word : line + " " + word;
            if (TextWidth(editor, candidate) <= width) {
                line = candidate;
            } else {
                if (!line.empty()) lines.push_back(line);
                // A word wider than the line (a long path) is cut where it must be, between
                // whole characters.
                while (TextWidth(editor, word) > width && word.size() > 1) {
                    size_t cut = word.size() - 1;
                    while (cut > 1 && TextWidth(editor, word.substr(0, cut)) > width)
                        --cut;
                    while (cut > 1 && (static_cast<unsigned char>(word[cut]) & 0xc0) == 0x80)
                        --cut;
                    lines.push_back(word.substr(0, cut));
                    word = word.substr(cut);
                }
                line = word;
            }
            at = next + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace panel_look

MessagePanel::MessagePanel(std::string c, std::string t, std::vector<std::string> b,
                           std::function<void(int)> a)
    : caption(std::move(c)), text(std::move(t)), buttons(std::move(b)), answered(std::move(a)) {
    if (buttons.empty()) buttons.push_back("OK");
}

void MessagePanel::Layout(IGraphics& editor) {
    if (laidOut) return;
    laidOut = true;
    const int width = 340;
    lines = panel_look::WrapText(editor, text, width - 28);
    const int maxLines = (editor.Height() - 8 - 40 - 44) / panel_look::LineHeight();
    if (int(lines.size()) > maxLines) lines.resize(size_t(std::max(1, maxLines)));
    box = panel_look::Centred(editor, width, 40 + int(lines.size()) * panel_look::LineHeight() + 44);
}

IPixelRect MessagePanel::ButtonRect(int index) const {
    const int n = int(buttons.size()), w = 73, gap = 10;
    const int left = box.right - 14 - n * w - (n - 1) * gap + index * (w + gap);
    return IPixelRect(left, box.bottom - 32, left + w, box.bottom - 11);
}

void MessagePanel::Paint(IGraphics& editor) {
    Layout(editor);
    IPixelRect content = panel_look::DrawBox(editor, box, caption);
    int y = content.top;
    for (const std::string& line : lines) {
        panel_look::DrawTextLine(editor, line,
                                 IPixelRect(content.left, y, content.right, y + panel_look::LineHeight()));
        y += panel_look::LineHeight();
    }
    for (int i = 0; i < int(buttons.size()); ++i)
        panel_look::DrawButton(editor, ButtonRect(i), buttons[size_t(i)].c_str(),
                               i == focus && buttons.size() > 1);
}

void MessagePanel::Click(IGraphics&, int x, int y, bool) {
    for (int i = 0; i < int(buttons.size()); ++i)
        if (ButtonRect(i).Contains(x, y)) {
            answer = i;
            Finish();
        }
}

bool MessagePanel::Key(IGraphics& editor, PanelKey key, int) {
    switch (key) {
    case PanelKey::Return:
        answer = focus;
        Finish();
        return true;
    case PanelKey::Escape:
        answer = int(buttons.size()) - 1;
        Finish();
        return true;
    case PanelKey::Tab:
    case PanelKey::Right:
        focus = (focus + 1) % int(buttons.size());
        editor.MarkAllControlsDirty();
        return true;
    case PanelKey::Left:
        focus = (focus + int(buttons.size()) - 1) % int(buttons.size());
        editor.MarkAllControlsDirty();
        return true;
    default:
        return true; // nothing reaches the editor's controls below
    }
}

void MessagePanel::Closed(IGraphics&) {
    if (answered) answered(answer < 0 ? int(buttons.size()) - 1 : answer);
}
