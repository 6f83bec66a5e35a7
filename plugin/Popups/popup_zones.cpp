#include "popup_zones.h"

#include "boxel_math.h"
#include "popup.h"

window_point window_point_of(XPLMWindowID win, int x, int y)
{
    window_point p{};
    XPLMGetWindowGeometry(win, &p.left, &p.top, &p.right, &p.bottom);
    p.x = x;
    p.y = y;
    p.dl = saturate(int64_t{x} - p.left);
    p.dr = saturate(int64_t{p.right} - x);
    p.dt = saturate(int64_t{p.top} - y);
    p.db = saturate(int64_t{y} - p.bottom);
    return p;
}

display_point window_to_display(const popup *pup, const window_point &p)
{
    const double w = static_cast<double>(p.right) - p.left;
    const double h = static_cast<double>(p.top) - p.bottom;
    // A window without area maps nowhere rather than dividing by zero.
    if (w == 0 || h == 0)
        return {-1.0, -1.0};
    return {(static_cast<double>(p.x) - p.left) / w * pup->width,
            (static_cast<double>(p.top) - p.y) / h * pup->height};
}
