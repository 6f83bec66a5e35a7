#pragma once

// The callbacks each display's window and command hand to the simulator.
// Every one receives the display's popup record as its reference constant.

#include <cairo.h>

#include "XPLMDisplay.h"
#include "XPLMUtilities.h"

// Shows a hidden window, hides a shown one; acts on the end phase only.
int popup_toggle(XPLMCommandRef cmd, XPLMCommandPhase phase, void *ref);

void popup_window_draw(XPLMWindowID win, void *ref);
int popup_mouse_click(XPLMWindowID win, int x, int y, XPLMMouseStatus status, void *ref);
int popup_right_click(XPLMWindowID win, int x, int y, XPLMMouseStatus status, void *ref);
void popup_key(XPLMWindowID win, char key, XPLMKeyFlags flags, char virtual_key, void *ref, int losing_focus);
XPLMCursorStatus popup_cursor(XPLMWindowID win, int x, int y, void *ref);
int popup_wheel(XPLMWindowID win, int x, int y, int wheel, int clicks, void *ref);

// The overlay renderer's picture: the display's overlay image, one image
// pixel per surface pixel.
void popup_bezel_render(cairo_t *cr, unsigned width, unsigned height, void *ref);
