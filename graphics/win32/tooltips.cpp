// Tooltips: one tooltip window per editor window, showing the text of the control under the pointer
// once the pointer rests.
#include "graphics/control.h"
#include "graphics/win32/graphics_win.h"

#include <commctrl.h>

namespace {

TTTOOLINFOA ToolFor(HWND editor, const char* text) {
    TTTOOLINFOA ti{};
    // The older layout, which every version of the common controls accepts.
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = editor;
    ti.uId = reinterpret_cast<UINT_PTR>(editor);
    ti.lpszText = const_cast<char*>(text);
    return ti;
}

} // namespace

void IGraphicsWin::CreateTooltip() {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&icc);
    tooltipWindow = CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, editorWindow, nullptr, moduleInstance, nullptr);
    TTTOOLINFOA ti = ToolFor(editorWindow, "");
    if (!tooltipWindow || !SendMessageA(tooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti))) {
        if (tooltipWindow) DestroyWindow(tooltipWindow);
        tooltipWindow = nullptr;
        EnableTooltips(false);
    }
}

void IGraphicsWin::ShowTooltip() {
    if (!tooltipWindow) return;
    IControl* control = GetControl(tooltipControl);
    const std::string text = control ? control->Tooltip() : std::string();
    TTTOOLINFOA ti = ToolFor(editorWindow, text.c_str());
    SendMessageA(tooltipWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    tooltipShown = true;
}

void IGraphicsWin::HideTooltip() {
    if (!tooltipShown) return;
    if (tooltipWindow) SendMessageA(tooltipWindow, TTM_POP, 0, 0);
    tooltipShown = false;
}
