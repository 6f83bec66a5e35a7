#pragma once

// The simulator's own decoration of a window created with
// xplm_WindowDecorationRoundRectangle: a title bar with the window's title
// and a close box, drawn outside the geometry XPLMGetWindowGeometry reports
// (that geometry is the client rectangle, which "does not include any window
// styling", XPLMSetWindowResizingLimits), and a solid backing under the
// client rectangle. A popped-out window has its operating system's instead.

#include "geometry.h"

namespace simhost::detail {

struct window;

struct window_decoration {
    rect title_bar; // global boxels, above the window's top edge
    rect close_box; // within the title bar, at its right end
};

constexpr int title_bar_height = 24;
constexpr int close_box_size = 18;

// Whether the simulator draws the title bar and close box: a round-rectangle
// window inside the simulator (not popped out, not in VR), shown or not.
bool has_title_bar(const window &w);
// Empty rectangles for a window without them.
window_decoration decoration_of(const window &w);
// Every decoration but none keeps a press the plugin does not take from
// passing to the windows behind (XPLMWindowDecoration).
bool stops_clicks(const window &w);

// What of a window lies under a global point.
enum class window_part { none, content, title_bar, close_box };

} // namespace simhost::detail
