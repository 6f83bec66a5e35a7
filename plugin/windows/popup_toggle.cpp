// Opening, closing and placing a display's window.

#include <acfutils/assert.h>
#include <acfutils/log.h>
#include <acfutils/widget.h>

#include "windows/boxel_math.h"
#include "windows/monitors.h"
#include "windows/popupSystem.h"
#include "windows/popup_move.h"
#include "windows/popup_window.h"

namespace {

// The largest size declared to the simulator; the window's own resize
// handles set no maximum.
constexpr int max_window_size = 4096;

// Hidden, undecorated, at the display's native size, centred in the screen.
void create_window(popup *pup)
{
    int sw = 0, sh = 0;
    XPLMGetScreenSize(&sw, &sh);

    XPLMCreateWindow_t params{};
    params.structSize = sizeof(params);
    static_assert(sizeof(XPLMCreateWindow_t) == 88, "the window structure of the 64-bit interface");
    params.left = static_cast<int>((sw - pup->width) * 0.5);
    params.top = static_cast<int>((sh + pup->height) * 0.5);
    params.right = static_cast<int>((sw + pup->width) * 0.5);
    params.bottom = static_cast<int>((sh - pup->height) * 0.5);
    params.visible = 0;
    params.drawWindowFunc = popup_window_draw;
    params.handleMouseClickFunc = popup_mouse_click;
    params.handleKeyFunc = popup_key;
    params.handleCursorFunc = popup_cursor;
    params.handleMouseWheelFunc = popup_wheel;
    params.refcon = pup;
    params.decorateAsFloatingWindow = xplm_WindowDecorationNone;
    params.layer = xplm_WindowLayerFloatingWindows;
    params.handleRightClickFunc = popup_right_click;

    pup->win = XPLMCreateWindowEx(&params);
    ASSERT(pup->win != 0);
    XPLMSetWindowTitle(pup->win, pup->title.c_str());
    XPLMSetWindowResizingLimits(pup->win, min_window_width, 0, max_window_size, max_window_size);
}

void close_window(popup *pup)
{
    logMsg("Popup Closed");
    // Free positioning brings a popped-out window back into the simulator.
    if (XPLMWindowIsPoppedOut(pup->win))
        XPLMSetWindowPositioningMode(pup->win, xplm_WindowPositionFree, 0);
    XPLMSetWindowIsVisible(pup->win, 0);
    popup_forget_gesture(pup);
    logMsg("MTCR FINI");
    popup_finish_renderer(pup);
    logMsg("Popup Close Fini");
}

// The overlay is rendered once, before the window is first drawn. Without a
// readable overlay image there is nothing to size a renderer from.
void start_renderer(popup *pup)
{
    // A window hidden by the simulator itself still holds its renderer.
    popup_finish_renderer(pup);
    if (!popup_has_overlay(pup))
        return;
    pup->mtcr = mt_cairo_render_init(static_cast<unsigned>(cairo_image_surface_get_width(pup->bezel)),
                                     static_cast<unsigned>(cairo_image_surface_get_height(pup->bezel)),
                                     pup->fps, nullptr, popup_bezel_render, nullptr, pup);
    if (pup->mtcr != nullptr)
        mt_cairo_render_once_wait(pup->mtcr);
}

// Keeps the window's width (rebuilt from two halves), takes the display's
// aspect ratio and centres the window on the mouse.
void float_at_mouse(popup *pup)
{
    // A window left full screen on a monitor would not move otherwise.
    XPLMSetWindowPositioningMode(pup->win, xplm_WindowPositionFree, 0);
    int mx = 0, my = 0;
    XPLMGetMouseLocationGlobal(&mx, &my);
    int left = 0, top = 0, right = 0, bottom = 0;
    XPLMGetWindowGeometry(pup->win, &left, &top, &right, &bottom);

    const int64_t half_w = (int64_t{right} - left) / 2;
    const int64_t h = static_cast<int64_t>(pup->height / pup->width * (static_cast<double>(right) - left));
    const int64_t half_h = h / 2;
    // Centred on the mouse, unless that would take an edge out of the coordinates.
    const int64_t cx = clamp64(mx, INT_MIN + half_w, INT_MAX - half_w);
    const int64_t cy = clamp64(my, INT_MIN + half_h, INT_MAX - half_h);
    XPLMSetWindowGeometry(pup->win, saturate(cx - half_w), saturate(cy + half_h), saturate(cx + half_w),
                          saturate(cy - half_h));
    window_follow_VR(pup->win);
}

void place_window(popup *pup)
{
    const popup_keys &k = *pup->keys;
    const int monitor = k.monitor_start->get();
    if (monitor >= 0) {
        logMsg("Checking Monitors to Position Window at %d", monitor);
        if (monitor_present(monitor)) {
            logMsg("Setting Position");
            XPLMSetWindowPositioningMode(pup->win, xplm_WindowFullScreenOnMonitor, monitor);
            return;
        }
        logMsg("Monitor %d not Available", monitor);
    } else if (k.popup_at_start->get() == 1) {
        const int x = k.x->get(), y = k.y->get(), w = k.w->get(), h = k.h->get();
        // A hand-edited file or a monitor since unplugged must not lose the
        // window: it floats instead, and the file keeps what it says.
        if (const char *problem = popout_rect_problem(x, y, w, h)) {
            logMsg("Saved Popout Location x %d y %d w %d h %d Not Usable (%s): Floating Window", x, y, w, h,
                   problem);
        } else {
            logMsg("Auto Popout and Position Window");
            XPLMSetWindowPositioningMode(pup->win, xplm_WindowPopOut, 0);
            XPLMSetWindowGeometryOS(pup->win, x, y + h, x + w, y);
            return;
        }
    }
    float_at_mouse(pup);
}

void open_window(popup *pup)
{
    start_renderer(pup);
    logMsg("Window Opened");
    win_resize_ctl_init(&pup->resize_ctl, pup->win, static_cast<int>(pup->width),
                        static_cast<int>(pup->height));
    place_window(pup);
    XPLMSetWindowIsVisible(pup->win, 1);
    logMsg("Window Opened");
}

} // namespace

int popup_toggle(XPLMCommandRef, XPLMCommandPhase phase, void *ref)
{
    if (phase != xplm_CommandEnd)
        return 1;
    logMsg("In Toggle Popup Callback");
    popup *pup = static_cast<popup *>(ref);
    ASSERT(pup != 0);

    if (pup->win == nullptr)
        create_window(pup);
    if (XPLMGetWindowIsVisible(pup->win))
        close_window(pup);
    else
        open_window(pup);
    return 1;
}
