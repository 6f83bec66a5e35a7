#pragma once

// Where a mouse point lies in a display's window: its distances from the
// edges of the content the window shows, the zones the controls occupy along
// them, and the display pixel under it.

#include "XPLMDisplay.h"

#include "windows/popup_content.h"

struct popup;

// The window rectangle as XPLMGetWindowGeometry reports it, the content
// rectangle inside it, and the distances in boxels from the content's left,
// right, top and bottom edges, negative beyond an edge.
struct window_point {
    int left, top, right, bottom;
    content_rect content;
    int x, y;
    int dl, dr, dt, db;
};

window_point window_point_of(const popup *pup, XPLMWindowID win, int x, int y);

// A control zone reaches 49 boxels in from an edge; the edge row itself is
// outside it.
constexpr int zone_depth = 49;
// The resize handles are tested with "closer than 50", which also takes in
// points beyond the edges.
constexpr int handle_reach = 50;
// The bottom drag band is half as deep as the top one.
constexpr int bottom_band_depth = 24;

inline bool in_zone(int d, int depth = zone_depth)
{
    return d >= 1 && d <= depth;
}

// The 49 x 49 squares inside the content's corners.
inline bool top_left_corner(const window_point &p)
{
    return in_zone(p.dl) && in_zone(p.dt);
}

inline bool top_right_corner(const window_point &p)
{
    return in_zone(p.dr) && in_zone(p.dt);
}

inline bool bottom_left_corner(const window_point &p)
{
    return in_zone(p.dl) && in_zone(p.db);
}

inline bool bottom_right_corner(const window_point &p)
{
    return in_zone(p.dr) && in_zone(p.db);
}

// The display pixel under a window point: origin top-left, y down, over the
// content rectangle.
struct display_point {
    double px, py;
};

display_point window_to_display(const popup *pup, const window_point &p);
