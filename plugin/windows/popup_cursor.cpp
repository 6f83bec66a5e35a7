// The cursor over a display's window: each control zone shows what a press
// there would do, and a hot-spot shows its own.

#include "windows/popup.h"
#include "windows/popupSystem.h"
#include "windows/popup_window.h"
#include "windows/popup_zones.h"

namespace {

cursor_id knob_cursor(const hotspot &h, double px)
{
    const bool right = px >= h.x;
    switch (h.knob_size) {
    case 1:
        return right ? cursor_id::r_m_r : cursor_id::r_m_l;
    case 2:
        return right ? cursor_id::r_l_r : cursor_id::r_l_l;
    default:
        return right ? cursor_id::r_s_r : cursor_id::r_s_l;
    }
}

// The plain arrow, or an image of the set (null when it failed to load).
struct cursor_pick {
    bool arrow;
    cursor_t *image;
};

cursor_pick image(cursor_id id)
{
    return {false, popup_cursor_image(id)};
}

cursor_pick pick_cursor(const popup *pup, const window_point &p, bool popped_out)
{
    if (top_left_corner(p))
        return image(cursor_id::b_close);
    if (top_right_corner(p))
        return image(cursor_id::b_pop);
    if (!popped_out && bottom_right_corner(p))
        return image(cursor_id::b_resize_r);
    if (!popped_out && bottom_left_corner(p))
        return image(cursor_id::b_resize_l);
    if ((!popped_out && in_zone(p.dt)) || pup->dragging != 0 || in_zone(p.db, bottom_band_depth))
        return image(cursor_id::m_click);

    const display_point d = window_to_display(pup, p);
    const hotspot *h = find_hotspot(pup, d.px, d.py);
    if (h == nullptr)
        return {true, nullptr};
    if (h->single)
        return h->cursor != nullptr ? cursor_pick{false, h->cursor} : image(cursor_id::m_point);
    return image(knob_cursor(*h, d.px));
}

} // namespace

XPLMCursorStatus popup_cursor(XPLMWindowID win, int x, int y, void *ref)
{
    const auto *pup = static_cast<const popup *>(ref);
    if (pup == nullptr || win == nullptr)
        return xplm_CursorDefault;
    const window_point p = window_point_of(pup, win, x, y);
    // On the edge row or outside, the simulator's own cursor.
    if (p.dl <= 0 || p.dr <= 0 || p.dt <= 0 || p.db <= 0)
        return xplm_CursorDefault;

    const cursor_pick c = pick_cursor(pup, p, XPLMWindowIsPoppedOut(win) != 0);
    if (c.arrow)
        return xplm_CursorArrow;
    // An image that failed to load leaves the simulator's cursor.
    if (c.image == nullptr)
        return xplm_CursorDefault;
    cursor_make_current(c.image);
    return xplm_CursorCustom;
}
