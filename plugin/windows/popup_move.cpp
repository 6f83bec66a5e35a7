#include "windows/popup_move.h"

#include <cstdint>

#include <acfutils/log.h>

#include "windows/boxel_math.h"
#include "windows/popup.h"
#include "windows/popup_zones.h"

void popup_drag(XPLMWindowID win, int x, int y, XPLMMouseStatus status, popup *pup)
{
    const window_point p = window_point_of(pup, win, x, y);
    switch (status) {
    case xplm_MouseDown:
        // From the window's corner, not the content's: the window moves.
        pup->grab_dx = saturate(int64_t{x} - p.left);
        pup->grab_dy = saturate(int64_t{y} - p.bottom);
        pup->dragging = 1;
        break;
    case xplm_MouseDrag: {
        // The grab can lie on the window's edge (an offset of 0), so the
        // drag state, not the offsets, says whether a drag is under way.
        if (pup->dragging == 0)
            break;
        // The whole window stays inside the coordinates, at its size.
        const int64_t width = int64_t{p.right} - p.left, height = int64_t{p.top} - p.bottom;
        const int64_t left = clamp64(int64_t{x} - pup->grab_dx, INT_MIN, INT_MAX - width);
        const int64_t bottom = clamp64(int64_t{y} - pup->grab_dy, INT_MIN, INT_MAX - height);
        XPLMSetWindowGeometry(win, saturate(left), saturate(bottom + height), saturate(left + width),
                              saturate(bottom));
        break;
    }
    default:
        pup->grab_dx = 0;
        pup->grab_dy = 0;
        pup->dragging = 0;
        break;
    }
}

void popup_forget_gesture(popup *pup)
{
    pup->grab_dx = 0;
    pup->grab_dy = 0;
    pup->dragging = 0;
    pup->resize_side = 0;
}

namespace {

// The width the dragged edge asks for, no narrower than the displays can be
// read. There is no maximum, short of what keeps the width, the moving edge
// (`room` is how far it can go) and the bottom edge (the height follows the
// width) inside the coordinates.
int64_t resized_width(int64_t wanted, int64_t room, int top, const popup *pup)
{
    int64_t width = wanted < min_window_width ? min_window_width : wanted;
    if (width > room)
        width = room;
    if (width > INT_MAX)
        width = INT_MAX;
    const double deepest = (static_cast<double>(top) - INT_MIN) * pup->width / pup->height;
    if (static_cast<double>(width) > deepest)
        width = static_cast<int64_t>(deepest);
    return width;
}

} // namespace

void popup_resize(XPLMWindowID win, int x, XPLMMouseStatus status, popup *pup, resize_edge side)
{
    int left = 0, top = 0, right = 0, bottom = 0;
    XPLMGetWindowGeometry(win, &left, &top, &right, &bottom);
    switch (status) {
    case xplm_MouseDown:
        logMsg("Resize Window %s", pup->title.c_str());
        pup->resize_side = static_cast<int32_t>(side);
        pup->grab_dx = saturate(side == resize_edge::right ? int64_t{right} - x : int64_t{x} - left);
        break;
    case xplm_MouseDrag: {
        // Only the edge grabbed by this press moves: a mouse that wanders
        // into a handle with the button held from elsewhere resizes nothing.
        if (pup->resize_side != static_cast<int32_t>(side))
            break;
        if (side == resize_edge::right) {
            const int64_t width =
                resized_width(int64_t{x} + pup->grab_dx - left, int64_t{INT_MAX} - left, top, pup);
            right = static_cast<int>(left + width);
        } else {
            const int64_t width =
                resized_width(int64_t{right} - x + pup->grab_dx, int64_t{right} - INT_MIN, top, pup);
            left = static_cast<int>(right - width);
        }
        const int64_t width = int64_t{right} - left;
        bottom = saturate(static_cast<int64_t>(top - pup->height / pup->width * static_cast<double>(width)));
        XPLMSetWindowGeometry(win, left, top, right, bottom);
        break;
    }
    default:
        pup->resize_side = 0;
        break;
    }
}
