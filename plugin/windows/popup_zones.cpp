#include "windows/popup_zones.h"

#include "windows/boxel_math.h"
#include "windows/popup.h"

window_point window_point_of(const popup *pup, XPLMWindowID win, int x, int y)
{
    window_point p{};
    XPLMGetWindowGeometry(win, &p.left, &p.top, &p.right, &p.bottom);
    p.content = popup_content_rect(pup, p.left, p.top, p.right, p.bottom);
    p.x = x;
    p.y = y;
    p.dl = saturate(int64_t{x} - p.content.left);
    p.dr = saturate(int64_t{p.content.right} - x);
    p.dt = saturate(int64_t{p.content.top} - y);
    p.db = saturate(int64_t{y} - p.content.bottom);
    return p;
}

display_point window_to_display(const popup *pup, const window_point &p)
{
    const content_rect &c = p.content;
    const double w = static_cast<double>(c.right) - c.left;
    const double h = static_cast<double>(c.top) - c.bottom;
    // A window without area maps nowhere rather than dividing by zero.
    if (w == 0 || h == 0)
        return {-1.0, -1.0};
    return {(static_cast<double>(p.x) - c.left) / w * pup->width,
            (static_cast<double>(c.top) - p.y) / h * pup->height};
}
