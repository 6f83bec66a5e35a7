#include "popup_move.h"

#include <cstdint>

#include <acfutils/log.h>

#include "popup.h"
#include "popup_zones.h"

void popup_drag(XPLMWindowID win, int x, int y, XPLMMouseStatus status, popup *pup)
{
    const window_point p = window_point_of(win, x, y);
    switch (status) {
    case xplm_MouseDown:
        pup->grab_dx = p.dl;
        pup->grab_dy = p.db;
        pup->dragging = 1;
        break;
    case xplm_MouseDrag: {
        // The grab can lie on the window's edge (an offset of 0), so the
        // drag state, not the offsets, says whether a drag is under way.
        if (pup->dragging == 0)
            break;
        const int left = x - pup->grab_dx;
        const int bottom = y - pup->grab_dy;
        XPLMSetWindowGeometry(win, left, bottom + (p.top - p.bottom), left + (p.right - p.left), bottom);
        break;
    }
    default:
        pup->grab_dx = 0;
        pup->grab_dy = 0;
        pup->dragging = 0;
        break;
    }
}

void popup_resize(XPLMWindowID win, int x, XPLMMouseStatus status, popup *pup, resize_edge side)
{
    int left = 0, top = 0, right = 0, bottom = 0;
    XPLMGetWindowGeometry(win, &left, &top, &right, &bottom);
    switch (status) {
    case xplm_MouseDown:
        logMsg("Resize Window %s", pup->title.c_str());
        pup->resize_side = static_cast<int32_t>(side);
        pup->grab_dx = side == resize_edge::right ? right - x : x - left;
        break;
    case xplm_MouseDrag:
        // Only the edge grabbed by this press moves: a mouse that wanders
        // into a handle with the button held from elsewhere resizes nothing.
        if (pup->resize_side != static_cast<int32_t>(side))
            break;
        if (side == resize_edge::right) {
            right = x + pup->grab_dx;
            if (right - left < min_window_width)
                right = left + min_window_width;
        } else {
            left = x - pup->grab_dx;
            if (right - left < min_window_width)
                left = right - min_window_width;
        }
        bottom = static_cast<int>(top - pup->height / pup->width * (right - left));
        XPLMSetWindowGeometry(win, left, top, right, bottom);
        break;
    default:
        pup->resize_side = 0;
        break;
    }
}
