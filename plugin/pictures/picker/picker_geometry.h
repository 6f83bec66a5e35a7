#pragma once

// The picker's editing geometry, in panel pixels: every edit of a display's
// rectangle keeps it inside the panel and at least place_min_w x place_min_h.
// No simulator or GL here.

#include "pictures/display_places.h"

// Moved by (dx, dy), stopped at the panel's edges.
panel_rect move_clamped(const panel_rect &r, int dx, int dy, panel_size panel);

enum class rect_corner { bottom_left, bottom_right, top_left, top_right };

// The corner's point: (x, y) for bottom_left, (x + w, y + h) for top_right.
void corner_point(const panel_rect &r, rect_corner c, int &x, int &y);

// `r` resized by dragging corner `c` to (x, y), the opposite corner fixed.
// The size stops at the minimum and at the panel's edges; with keep_4_3 it
// is 4:3, its size set by the direction the point went further in.
panel_rect resize_from_corner(const panel_rect &r, rect_corner c, int x, int y, bool keep_4_3,
                              panel_size panel);

// The corner of `r` within `reach` panel pixels of (x, y) in both
// directions, the nearest where several are; false when none is.
bool corner_near(const panel_rect &r, double x, double y, double reach, rect_corner &out);
bool rect_contains(const panel_rect &r, double x, double y);

// The smallest panel (from the origin) that holds every place: something to
// edit within where the panel's size is not known.
panel_size places_extent(const display_places &places);
