// Right clicks in a window's corners remember where the display belongs:
// full screen on the monitor under the click, popped out where the window
// is now (in the operating system's pixels), or the PFD's and MFD's
// monitors exchanged.

#include <acfutils/log.h>

#include "windows/boxel_math.h"
#include "windows/monitor_assignment.h"
#include "windows/monitors.h"
#include "windows/popup.h"
#include "windows/popup_window.h"
#include "windows/popup_zones.h"

namespace {

void save_monitor(popup *pup, const window_point &p)
{
    logMsg("Save Monitor Full Screen");
    const popup_keys &k = *pup->keys;
    k.monitor_start->set(monitor_at(p.x, p.y));
    k.popup_at_start->set(2);
    // Closed and opened again, the window takes its new place.
    popup_toggle(nullptr, xplm_CommandEnd, pup);
    popup_toggle(nullptr, xplm_CommandEnd, pup);
}

// The place is saved in the operating system's pixels, the space a saved
// place is given back in when the window opens popped out.
void save_popout_location(popup *pup, XPLMWindowID win, const window_point &p)
{
    logMsg("Save Popout Window Location");
    int left = p.left, top = p.top, right = p.right, bottom = p.bottom;
    if (XPLMWindowIsPoppedOut(win) != 0) {
        XPLMGetWindowGeometryOS(win, &left, &top, &right, &bottom);
    } else if (const char *problem = global_rect_to_os(left, top, right, bottom)) {
        logMsg("Popout Location Not Saved (%s): Previous Place Kept", problem);
        return;
    }
    const popup_keys &k = *pup->keys;
    k.x->set(left);
    k.y->set(bottom);
    k.w->set(saturate(int64_t{right} - left));
    k.h->set(saturate(int64_t{top} - bottom));
    k.popup_at_start->set(1);
    k.monitor_start->set(-1);
}

} // namespace

// Never consumes the click: it goes on to the simulator as well.
int popup_right_click(XPLMWindowID win, int x, int y, XPLMMouseStatus status, void *ref)
{
    auto *pup = static_cast<popup *>(ref);
    if (status != xplm_MouseDown || pup == nullptr || win == nullptr)
        return 0;
    const window_point p = window_point_of(pup, win, x, y);
    if (top_left_corner(p))
        save_monitor(pup, p);
    else if (top_right_corner(p))
        save_popout_location(pup, win, p);
    else if (bottom_right_corner(p))
        swap_screens();
    return 0;
}
