#include "popup_zones.h"

#include "popup.h"

window_point window_point_of(XPLMWindowID win, int x, int y)
{
    window_point p{};
    XPLMGetWindowGeometry(win, &p.left, &p.top, &p.right, &p.bottom);
    p.x = x;
    p.y = y;
    p.dl = x - p.left;
    p.dr = p.right - x;
    p.dt = p.top - y;
    p.db = y - p.bottom;
    return p;
}

display_point window_to_display(const popup *pup, const window_point &p)
{
    const int w = p.right - p.left;
    const int h = p.top - p.bottom;
    // A window without area maps nowhere rather than dividing by zero.
    if (w == 0 || h == 0)
        return {-1.0, -1.0};
    return {static_cast<double>(p.x - p.left) / w * pup->width,
            static_cast<double>(p.top - p.y) / h * pup->height};
}
