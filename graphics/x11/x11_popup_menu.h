#pragma once

#include <xcb/xcb.h>

struct IMenuList;
class RAST_CachedFont;
class X11Display;

// Where a popup menu goes, in root coordinates: its top-left corner below the control, and the
// control's top edge for when the menu does not fit below it.
struct PopupPlacement {
    int x = 0;
    int belowY = 0;
    int aboveY = 0;
};

// Shows the menu, drawn with the editor's raster and font, and waits for the user as a native
// popup menu does (holding the pointer and keyboard until it closes). Submenus open beside their
// entry. Returns the chosen entry's command number (see IMenuList), or -1 when the menu was
// dismissed or could not be shown.
int RunPopupMenu(X11Display& display, xcb_screen_t* screen, const PopupPlacement& place,
                 const IMenuList& menu, RAST_CachedFont* font);

// How long a menu nobody answers stays open before it closes itself as dismissed (ten minutes).
// Tests shorten it, so that a menu their input never reached fails at once rather than hanging.
void SetPopupMenuTimeLimit(int milliseconds);
