#include "acfutils/widget.h"

#include <cmath>
#include <cstdlib>

#include "XPLMDataAccess.h"

namespace {

struct geometry {
    int left, top, right, bottom;
    int width() const { return right - left; }
    /* Sign-agnostic: OS coordinates may grow downwards. */
    int height() const { return std::abs(top - bottom); }
    int down() const { return top >= bottom ? 1 : -1; }
    bool operator!=(const geometry &o) const
    {
        return left != o.left || top != o.top || right != o.right || bottom != o.bottom;
    }
};

geometry read_geometry(XPLMWindowID win, bool popped_out)
{
    geometry g{};
    if (popped_out)
        XPLMGetWindowGeometryOS(win, &g.left, &g.top, &g.right, &g.bottom);
    else
        XPLMGetWindowGeometry(win, &g.left, &g.top, &g.right, &g.bottom);
    return g;
}

void remember(win_resize_ctl_t *wrc, const geometry &g)
{
    wrc->left = g.left;
    wrc->top = g.top;
    wrc->right = g.right;
    wrc->bottom = g.bottom;
}

} // namespace

void win_resize_ctl_init(win_resize_ctl_t *wrc, XPLMWindowID win, int w, int h)
{
    if (wrc == nullptr)
        return;
    *wrc = win_resize_ctl_t{};
    wrc->win = win;
    wrc->aspect = w != 0 ? (double)h / w : 0;
    if (win != nullptr)
        remember(wrc, read_geometry(win, XPLMWindowIsPoppedOut(win) != 0));
}

void win_resize_ctl_update(win_resize_ctl_t *wrc, XPLMWindowID win)
{
    if (wrc == nullptr || win == nullptr)
        return;
    /*
     * Only the operating system resizes popped-out windows behind our back;
     * inside the simulator our own handlers keep the aspect, and full-screen
     * windows must keep the monitor's shape.
     */
    if (XPLMWindowIsPoppedOut(win) == 0) {
        remember(wrc, read_geometry(win, false));
        return;
    }
    const geometry seen{wrc->left, wrc->top, wrc->right, wrc->bottom};
    const geometry now = read_geometry(win, true);
    if (wrc->aspect <= 0 || (now.width() == seen.width() && now.height() == seen.height())) {
        remember(wrc, now);
        return;
    }

    int w = now.width(), h = now.height();
    if (std::abs(w - seen.width()) > std::abs(h - seen.height()))
        h = (int)std::lround(w * wrc->aspect);
    else
        w = (int)std::lround(h / wrc->aspect);
    const geometry fixed{now.left, now.top, now.left + w, now.top - now.down() * h};
    if (fixed != now)
        XPLMSetWindowGeometryOS(win, fixed.left, fixed.top, fixed.right, fixed.bottom);
    remember(wrc, fixed);
}

void window_follow_VR(XPLMWindowID win)
{
    if (win == nullptr)
        return;
    /* Looked up each time: cheap, and copes with the dataref appearing later. */
    XPLMDataRef vr_enabled = XPLMFindDataRef("sim/graphics/VR/enabled");
    if (vr_enabled == nullptr || XPLMGetDatai(vr_enabled) == 0)
        return;
    if (XPLMWindowIsInVR(win) == 0)
        XPLMSetWindowPositioningMode(win, xplm_WindowVR, -1);
}
