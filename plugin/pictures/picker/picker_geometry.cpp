#include "pictures/picker/picker_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

bool is_right(rect_corner c)
{
    return c == rect_corner::bottom_right || c == rect_corner::top_right;
}

bool is_top(rect_corner c)
{
    return c == rect_corner::top_left || c == rect_corner::top_right;
}

} // namespace

panel_rect move_clamped(const panel_rect &r, int dx, int dy, panel_size panel)
{
    // A place larger than the panel (one saved for another panel) shrinks to it.
    const int w = std::min(r.w, panel.width), h = std::min(r.h, panel.height);
    const int x = std::clamp(r.x + dx, 0, std::max(0, panel.width - w));
    const int y = std::clamp(r.y + dy, 0, std::max(0, panel.height - h));
    return {x, y, w, h};
}

void corner_point(const panel_rect &r, rect_corner c, int &x, int &y)
{
    x = is_right(c) ? r.x + r.w : r.x;
    y = is_top(c) ? r.y + r.h : r.y;
}

panel_rect resize_from_corner(const panel_rect &r, rect_corner c, int x, int y, bool keep_4_3,
                              panel_size panel)
{
    // The opposite corner stays; the room from it to the panel's edge is the most.
    const bool right = is_right(c), top = is_top(c);
    const int fixed_x = right ? r.x : r.x + r.w;
    const int fixed_y = top ? r.y : r.y + r.h;
    const int want_w = right ? x - fixed_x : fixed_x - x;
    const int want_h = top ? y - fixed_y : fixed_y - y;
    const int max_w = right ? panel.width - fixed_x : fixed_x;
    const int max_h = top ? panel.height - fixed_y : fixed_y;

    int w = 0, h = 0;
    if (keep_4_3) {
        // The direction the point has gone further in decides, so a corner
        // dragged straight across or straight up still follows it.
        const int lo = std::max(place_min_w, (place_min_h * 4 + 2) / 3);
        const int hi = std::min(max_w, max_h * 4 / 3);
        if (hi < lo)
            return r;
        const double by_w = want_w - r.w, by_h = (want_h - r.h) * 4.0 / 3.0;
        const int asked =
            std::fabs(by_w) >= std::fabs(by_h) ? want_w : static_cast<int>(std::lround(want_h * 4.0 / 3.0));
        w = std::clamp(asked, lo, hi);
        h = (w * 3 + 2) / 4;
    } else {
        if (max_w < place_min_w || max_h < place_min_h)
            return r;
        w = std::clamp(want_w, place_min_w, max_w);
        h = std::clamp(want_h, place_min_h, max_h);
    }
    return {right ? fixed_x : fixed_x - w, top ? fixed_y : fixed_y - h, w, h};
}

bool corner_near(const panel_rect &r, double x, double y, double reach, rect_corner &out)
{
    double best = -1;
    for (rect_corner c : {rect_corner::bottom_left, rect_corner::bottom_right, rect_corner::top_left,
                          rect_corner::top_right}) {
        int cx = 0, cy = 0;
        corner_point(r, c, cx, cy);
        const double dx = x - cx, dy = y - cy;
        if (std::fabs(dx) > reach || std::fabs(dy) > reach)
            continue;
        const double d = dx * dx + dy * dy;
        if (best < 0 || d < best) {
            best = d;
            out = c;
        }
    }
    return best >= 0;
}

bool rect_contains(const panel_rect &r, double x, double y)
{
    return x >= r.x && x <= r.x + r.w && y >= r.y && y <= r.y + r.h;
}

panel_size places_extent(const display_places &places)
{
    panel_size extent{0, 0};
    for (const display_place &p : places) {
        extent.width = std::max(extent.width, p.rect.x + p.rect.w);
        extent.height = std::max(extent.height, p.rect.y + p.rect.h);
    }
    return extent;
}
