// Left clicks on a display's window: the controls along its edges, and the
// hot-spots of the display area, which hold their command while pressed.

#include <acfutils/log.h>

#include "windows/popup.h"
#include "windows/popupSystem.h"
#include "windows/popup_input.h"
#include "windows/popup_move.h"
#include "windows/popup_window.h"
#include "windows/popup_zones.h"

namespace {

// One press at a time for the whole system, shared by the three windows.
struct press_state {
    hotspot *hit_hotspot = nullptr;
    XPLMCommandRef held_cmd = nullptr;
    bool cmd_held = false;
};
press_state press;

XPLMCommandRef pick_command(const hotspot &h, double px)
{
    if (h.single)
        return h.cmd;
    return px >= h.x ? h.cmd_r : h.cmd_l;
}

void press_display_area(const display_point &d)
{
    hotspot *h = press.hit_hotspot;
    if (h == nullptr) {
        press.cmd_held = false;
        return;
    }
    press.cmd_held = true;
    press.held_cmd = pick_command(*h, d.px);
    h->active = true;
    // A name that did not resolve begins nothing.
    if (press.held_cmd != nullptr)
        XPLMCommandBegin(press.held_cmd);
}

void mouse_down(popup *pup, const window_point &p, bool popped_out)
{
    // A command still held from an earlier press is let go first.
    popup_release_held_command();

    const display_point d = window_to_display(pup, p);
    press.hit_hotspot = find_hotspot(pup, d.px, d.py);
    logMsg("Click at %.2f %.2f", d.px, d.py);

    if (top_left_corner(p)) {
        logMsg("Close Window %s", pup->title.c_str());
        popup_finish_renderer(pup);
        XPLMSetWindowIsVisible(pup->win, 0);
        return;
    }
    if (top_right_corner(p)) {
        logMsg("Popout Window %s", pup->title.c_str());
        XPLMSetWindowPositioningMode(pup->win, xplm_WindowPopOut, 0);
        return;
    }
    if (!popped_out && (in_zone(p.dt) || in_zone(p.db, bottom_band_depth))) {
        logMsg("Drag Window %s", pup->title.c_str());
        popup_drag(pup->win, p.x, p.y, xplm_MouseDown, pup);
        return;
    }
    press_display_area(d);
}

} // namespace

void popup_release_held_command()
{
    if (press.held_cmd != nullptr && press.hit_hotspot != nullptr && press.cmd_held)
        XPLMCommandEnd(press.held_cmd);
    if (press.hit_hotspot != nullptr)
        press.hit_hotspot->active = false;
    press = press_state{};
}

int popup_mouse_click(XPLMWindowID win, int x, int y, XPLMMouseStatus status, void *ref)
{
    auto *pup = static_cast<popup *>(ref);
    if (pup == nullptr || win == nullptr)
        return 1;
    const window_point p = window_point_of(pup, win, x, y);
    const bool popped_out = XPLMWindowIsPoppedOut(win) != 0;

    // A release always lets go of a hot-spot's command, wherever it falls,
    // so no command stays held after the button is up.
    if (status == xplm_MouseUp)
        popup_release_held_command();

    // A drag or resize under way takes every event of its press, wherever the
    // mouse goes; otherwise the handles take what falls into them, the left
    // one first.
    if (!popped_out) {
        if (pup->dragging != 0) {
            popup_drag(win, x, y, status, pup);
            return 1;
        }
        if (pup->resize_side != 0) {
            popup_resize(win, x, status, pup, pup->resize_side < 0 ? resize_edge::left : resize_edge::right);
            return 1;
        }
        if (p.dl < handle_reach && p.db < handle_reach) {
            popup_resize(win, x, status, pup, resize_edge::left);
            return 1;
        }
        if (p.dr < handle_reach && p.db < handle_reach) {
            popup_resize(win, x, status, pup, resize_edge::right);
            return 1;
        }
    }
    if (status == xplm_MouseDown)
        mouse_down(pup, p, popped_out);
    return 1;
}

// A display has no keyboard input.
void popup_key(XPLMWindowID, char, XPLMKeyFlags, char, void *, int) {}

// The wheel belongs to the simulator.
int popup_wheel(XPLMWindowID, int, int, int, int, void *)
{
    return 0;
}
