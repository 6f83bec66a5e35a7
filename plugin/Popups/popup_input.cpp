// Mouse and keyboard events on a display's window.

#include "popup_window.h"

// The window's controls are fixed zones along its edges; a click anywhere
// in it is the window's own.
int popup_mouse_click(XPLMWindowID, int, int, XPLMMouseStatus, void *)
{
    return 1;
}

// Right clicks go on to whatever lies behind the window.
int popup_right_click(XPLMWindowID, int, int, XPLMMouseStatus, void *)
{
    return 0;
}

XPLMCursorStatus popup_cursor(XPLMWindowID, int, int, void *)
{
    return xplm_CursorDefault;
}

// A display has no keyboard input.
void popup_key(XPLMWindowID, char, XPLMKeyFlags, char, void *, int) {}

// The wheel belongs to the simulator.
int popup_wheel(XPLMWindowID, int, int, int, int, void *)
{
    return 0;
}
