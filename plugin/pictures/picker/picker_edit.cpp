#include "pictures/picker/picker_edit.h"

#include <algorithm>
#include <cmath>

namespace {

bool valid(int display)
{
    return display >= 0 && display < display_count;
}

// An edit makes the last save's outcome stale.
void changed(picker_edit &e)
{
    e.message.clear();
    e.message_is_error = false;
}

// On a small rectangle the corners must leave room in the middle to move it.
double corner_reach(const panel_rect &r, double reach)
{
    return std::min(reach, std::min(r.w, r.h) / 4.0);
}

void start(picker_edit &e, picker_gesture::kind what, int display, rect_corner c, double x, double y)
{
    e.selected = display;
    e.gesture = {what, display, c, e.places[static_cast<size_t>(display)].rect, x, y};
}

} // namespace

void edit_reset(picker_edit &e, const display_places &from)
{
    e.places = from;
    e.gesture = {};
    changed(e);
}

bool edit_press(picker_edit &e, double x, double y, double reach)
{
    e.gesture = {};
    // The selected rectangle first, where rectangles overlap.
    int order[display_count] = {e.selected, 0, 0};
    for (int i = 0, n = 1; i < display_count; i++)
        if (i != e.selected)
            order[n++] = i;
    for (int d : order) {
        const panel_rect &r = e.places[static_cast<size_t>(d)].rect;
        rect_corner c = rect_corner::bottom_left;
        if (corner_near(r, x, y, corner_reach(r, reach), c)) {
            start(e, picker_gesture::kind::resize, d, c, x, y);
            return true;
        }
    }
    for (int d : order) {
        if (rect_contains(e.places[static_cast<size_t>(d)].rect, x, y)) {
            start(e, picker_gesture::kind::move, d, rect_corner::bottom_left, x, y);
            return true;
        }
    }
    return false;
}

void edit_drag(picker_edit &e, double x, double y, panel_size panel)
{
    const picker_gesture &g = e.gesture;
    if (g.what == picker_gesture::kind::none || !valid(g.display))
        return;
    const int dx = static_cast<int>(std::lround(x - g.press_x));
    const int dy = static_cast<int>(std::lround(y - g.press_y));
    panel_rect &r = e.places[static_cast<size_t>(g.display)].rect;
    const panel_rect before = r;
    if (g.what == picker_gesture::kind::move) {
        r = move_clamped(g.start, dx, dy, panel);
    } else {
        int cx = 0, cy = 0;
        corner_point(g.start, g.corner, cx, cy);
        r = resize_from_corner(g.start, g.corner, cx + dx, cy + dy, e.keep_4_3, panel);
    }
    if (r != before)
        changed(e);
}

bool edit_release(picker_edit &e, double x, double y, panel_size panel)
{
    if (e.gesture.what == picker_gesture::kind::none)
        return false;
    edit_drag(e, x, y, panel);
    e.gesture = {};
    return true;
}

void edit_nudge(picker_edit &e, int dx, int dy, panel_size panel)
{
    if (!valid(e.selected))
        return;
    panel_rect &r = e.places[static_cast<size_t>(e.selected)].rect;
    r = move_clamped(r, dx, dy, panel);
    changed(e);
}

void edit_select(picker_edit &e, int display)
{
    if (valid(display))
        e.selected = display;
}

void edit_toggle_keep_4_3(picker_edit &e)
{
    e.keep_4_3 = !e.keep_4_3;
}

void edit_cycle_source(picker_edit &e, int display)
{
    if (!valid(display))
        return;
    picture_source &s = e.places[static_cast<size_t>(display)].source;
    s = s == picture_source::automatic ? picture_source::panel
        : s == picture_source::panel   ? picture_source::device
                                       : picture_source::automatic;
    changed(e);
}
