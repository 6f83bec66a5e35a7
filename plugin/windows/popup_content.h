#pragma once

// The part of a display's window that its picture fills. Drawing, the
// overlay, the control zones and the display pixel under the mouse all take
// it from here, so what is seen and what is clicked agree.

struct popup;

// Edges in global boxels, like a window rectangle, always inside the window.
struct content_rect {
    int left, top, right, bottom;
};

// With fill_window set, the whole window. Without, the display's shape: the
// window's full width at the bottom edge, or, in a window wider than the
// display, its full height, centred.
content_rect popup_content_rect(const popup *pup, int left, int top, int right, int bottom);
