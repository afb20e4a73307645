// Popup menus: an IMenuList becomes a native menu whose command numbers follow the list's own
// numbering, so the number the menu posts maps straight back to the entry.
#include "graphics/menu_list.h"
#include "graphics/win32/graphics_win.h"

#include <vector>

namespace {

// Builds `menu` with its entries numbered from `counter` on; submenus take the ranges after them.
HMENU BuildNativeMenu(const IMenuList& menu, int& counter) {
    HMENU native = CreatePopupMenu();
    if (!native) return nullptr;
    const int first = counter;
    counter += menu.NEntries();
    std::vector<HMENU> submenus(size_t(menu.NEntries()), nullptr);
    for (int i = 0; i < menu.NEntries(); ++i)
        if (const IMenuList* sub = menu.Entry(i)->submenu.get())
            submenus[size_t(i)] = BuildNativeMenu(*sub, counter);

    for (int i = 0; i < menu.NEntries(); ++i) {
        const IMenuEntry& entry = *menu.Entry(i);
        const std::string caption = menu.EntryCaption(i);
        if (entry.flags & IMenuEntry::kSeparator) {
            AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
            if (submenus[size_t(i)]) DestroyMenu(submenus[size_t(i)]);
        } else if (entry.submenu) {
            if (submenus[size_t(i)])
                AppendMenuA(native, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenus[size_t(i)]),
                            caption.c_str());
        } else {
            UINT flags = MF_STRING;
            if (entry.flags & IMenuEntry::kGreyed) flags |= MF_GRAYED;
            if (entry.flags & IMenuEntry::kDisabled) flags |= MF_DISABLED;
            if (entry.flags & IMenuEntry::kTicked) flags |= MF_CHECKED;
            AppendMenuA(native, flags, UINT_PTR(first + i), caption.c_str());
        }
    }
    return native;
}

} // namespace

IMenuList* IGraphicsWin::ShowPopupMenu(IMenuList& menu, const IPixelRect& r) {
    ReleaseCapture();
    if (GetCapture() == editorWindow && editorWindow) ::ReleaseCapture();
    if (!editorWindow) return nullptr;
    int counter = 0;
    HMENU native = BuildNativeMenu(menu, counter);
    if (!native) return nullptr;
    POINT at{r.left, r.bottom};
    ClientToScreen(editorWindow, &at);
    IMenuList* chosen = nullptr;
    // The menu posts its command to the owner; it is taken from the queue rather than dispatched.
    TrackPopupMenu(native, TPM_LEFTBUTTON, at.x, at.y, 0, editorWindow, nullptr);
    MSG m;
    if (editorWindow && PeekMessageA(&m, editorWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
        HIWORD(m.wParam) == 0)
        chosen = menu.ChooseByCommand(int(LOWORD(m.wParam)));
    DestroyMenu(native);
    if (editorWindow) InvalidateRect(editorWindow, nullptr, FALSE);
    return chosen;
}
