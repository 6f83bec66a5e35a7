#pragma once

// Moving and resizing a display's window with the mouse. Both follow one
// press from the press to its release; the window's record keeps the grab.

#include "XPLMDisplay.h"

struct popup;

// The press grabs the window at the mouse; each drag moves it so the grabbed
// point stays under the mouse, at the same size; the release lets go.
void popup_drag(XPLMWindowID win, int x, int y, XPLMMouseStatus status, popup *pup);

enum class resize_edge { left = -1, right = 1 };

// The press grabs one side edge; each drag moves that edge, never closer than
// the minimum width to the other, and sets the height from the width at the
// display's aspect ratio with the top edge fixed; the release lets go.
void popup_resize(XPLMWindowID win, int x, XPLMMouseStatus status, popup *pup, resize_edge side);

// Forgets a drag or resize under way: a window hidden during one never
// receives its release.
void popup_forget_gesture(popup *pup);

// Narrower than this the displays cannot be read.
constexpr int min_window_width = 256;
