#include "pictures/picker/picker_window.h"

#include <string>

#include "XPLMDisplay.h"

#include <acfutils/log.h>

#include "pictures/picker/picker_draw.h"
#include "pictures/picker/picker_edit.h"
#include "pictures/picker/picker_layout.h"
#include "pictures/picker/picker_preview.h"

namespace {

// How near a corner a press must be to resize, in boxels.
constexpr double corner_reach_boxels = 6;
constexpr int min_window_w = 560, min_window_h = 420, max_window_size = 4096;

struct picker {
    XPLMWindowID win = nullptr;
    XPLMCommandRef cmd = nullptr;
    picker_preview preview;
    picker_edit edit;
};

// From enable to disable; what it holds of the simulator is given back at disable.
picker state;

struct window_view {
    picker_layout layout;
    panel_size panel;
    picture_place place;
};

window_view view_of(XPLMWindowID win)
{
    int left = 0, top = 0, right = 0, bottom = 0;
    XPLMGetWindowGeometry(win, &left, &top, &right, &bottom);
    window_view v{};
    v.layout = layout_picker(left, top, right, bottom, avionics_available());
    v.panel = preview_panel(state.preview);
    v.place = fit_picture(v.layout.picture_area, v.panel);
    return v;
}

void log_place(int display)
{
    const display_place &p = state.edit.places[static_cast<size_t>(display)];
    logMsg("%s Region: %d, %d, %d x %d, %s", display_short_name(display), p.rect.x, p.rect.y, p.rect.w,
           p.rect.h, picture_source_name(p.source));
}

void save()
{
    std::string error;
    if (places_save(state.edit.places, error)) {
        state.edit.message = "Saved";
        state.edit.message_is_error = false;
        logMsg("Display Regions Saved");
    } else {
        state.edit.message = "Not saved: " + error;
        state.edit.message_is_error = true;
    }
}

void cycle_source(int display)
{
    if (!avionics_available())
        return;
    edit_cycle_source(state.edit, display);
    log_place(display);
}

void press_button(picker_button b)
{
    switch (b) {
    case picker_button::save:
        save();
        break;
    case picker_button::revert:
        edit_reset(state.edit, places_saved());
        break;
    case picker_button::defaults:
        edit_reset(state.edit, places_built_in());
        break;
    case picker_button::keep_4_3:
        edit_toggle_keep_4_3(state.edit);
        break;
    case picker_button::source_pfd:
    case picker_button::source_mfd:
    case picker_button::source_pfd2:
        cycle_source(static_cast<int>(b) - static_cast<int>(picker_button::source_pfd));
        break;
    case picker_button::count:
        break;
    }
}

void draw_window(XPLMWindowID win, void *)
{
    const window_view v = view_of(win);
    picker_draw(v.layout, v.place, v.panel, state.edit, state.preview);
}

int mouse_click(XPLMWindowID win, int x, int y, XPLMMouseStatus status, void *)
{
    const window_view v = view_of(win);
    const double px = v.place.panel_x(x), py = v.place.panel_y(y);
    picker_edit &e = state.edit;
    if (status == xplm_MouseDown) {
        XPLMTakeKeyboardFocus(win);
        const picker_button b = button_at(v.layout, x, y);
        if (b != picker_button::count)
            press_button(b);
        else
            edit_press(e, px, py, corner_reach_boxels / v.place.scale);
    } else if (status == xplm_MouseDrag) {
        edit_drag(e, px, py, v.panel);
    } else if (status == xplm_MouseUp) {
        const int display = e.gesture.display;
        if (edit_release(e, px, py, v.panel))
            log_place(display);
    }
    return 1;
}

int right_click(XPLMWindowID, int, int, XPLMMouseStatus, void *)
{
    return 1;
}

void key(XPLMWindowID win, char, XPLMKeyFlags flags, char virtual_key, void *, int losing_focus)
{
    if (losing_focus != 0 || (flags & xplm_DownFlag) == 0)
        return;
    picker_edit &e = state.edit;
    const int step = (flags & xplm_ShiftFlag) != 0 ? 10 : 1;
    const panel_size panel = view_of(win).panel;
    int dx = 0, dy = 0;
    switch (static_cast<unsigned char>(virtual_key)) {
    case XPLM_VK_LEFT:
        dx = -step;
        break;
    case XPLM_VK_RIGHT:
        dx = step;
        break;
    case XPLM_VK_UP:
        dy = step;
        break;
    case XPLM_VK_DOWN:
        dy = -step;
        break;
    case XPLM_VK_1:
    case XPLM_VK_2:
    case XPLM_VK_3:
        edit_select(e, static_cast<unsigned char>(virtual_key) - XPLM_VK_1);
        return;
    case XPLM_VK_S:
        return press_button(picker_button::save);
    case XPLM_VK_R:
        return press_button(picker_button::revert);
    case XPLM_VK_D:
        return press_button(picker_button::defaults);
    case XPLM_VK_K:
        return press_button(picker_button::keep_4_3);
    case XPLM_VK_A:
        return cycle_source(e.selected);
    default:
        return;
    }
    edit_nudge(e, dx, dy, panel);
    log_place(e.selected);
}

XPLMCursorStatus cursor(XPLMWindowID, int, int, void *)
{
    return xplm_CursorDefault;
}

int wheel(XPLMWindowID, int, int, int, int, void *)
{
    return 1;
}

// The full-screen monitor under the mouse, where the pilot chose the menu
// item; the whole desktop when the simulator runs in a window or the mouse
// is on no monitor.
boxel_rect screen_under_mouse()
{
    struct search {
        int x, y;
        boxel_rect found;
        bool hit;
    } s{0, 0, {0, 0, 0, 0}, false};
    XPLMGetMouseLocationGlobal(&s.x, &s.y);
    XPLMGetAllMonitorBoundsGlobal(
        [](int, int left, int top, int right, int bottom, void *ref) {
            search &s = *static_cast<search *>(ref);
            if (!s.hit && s.x >= left && s.x < right && s.y >= bottom && s.y < top) {
                s.found = {left, top, right, bottom};
                s.hit = true;
            }
        },
        &s);
    if (!s.hit)
        XPLMGetScreenBoundsGlobal(&s.found.left, &s.found.top, &s.found.right, &s.found.bottom);
    return s.found;
}

void create_window()
{
    const boxel_rect screen = screen_under_mouse();
    const boxel_rect at = first_window_rect(screen, screen.right - screen.left, screen.top - screen.bottom);

    XPLMCreateWindow_t params{};
    params.structSize = sizeof(params);
    params.left = at.left;
    params.top = at.top;
    params.right = at.right;
    params.bottom = at.bottom;
    params.visible = 0;
    params.drawWindowFunc = draw_window;
    params.handleMouseClickFunc = mouse_click;
    params.handleKeyFunc = key;
    params.handleCursorFunc = cursor;
    params.handleMouseWheelFunc = wheel;
    params.refcon = nullptr;
    params.decorateAsFloatingWindow = xplm_WindowDecorationRoundRectangle;
    params.layer = xplm_WindowLayerFloatingWindows;
    params.handleRightClickFunc = right_click;
    state.win = XPLMCreateWindowEx(&params);
    if (state.win == nullptr) {
        logMsg("The Display Regions window could not be made");
        return;
    }
    XPLMSetWindowTitle(state.win, "Display Regions");
    XPLMSetWindowResizingLimits(state.win, min_window_w, min_window_h, max_window_size, max_window_size);
    state.preview.window = state.win;
}

void give_back_keyboard()
{
    if (state.win != nullptr && XPLMHasKeyboardFocus(state.win))
        XPLMTakeKeyboardFocus(nullptr);
}

void hide()
{
    give_back_keyboard();
    XPLMSetWindowIsVisible(state.win, 0);
    state.edit.gesture = {};
    preview_close(state.preview);
    logMsg("Display Regions Hidden");
}

void show()
{
    edit_reset(state.edit, places_in_use());
    // Fixed for the showing: a panel that followed the places being edited
    // would move the picture under the mouse.
    state.preview.assumed = places_extent(state.edit.places);
    // Closed by its close box, it may still hold an old picture.
    preview_close(state.preview);
    preview_open(state.preview);
    XPLMSetWindowIsVisible(state.win, 1);
    logMsg("Display Regions Shown");
}

} // namespace

int picker_toggle(XPLMCommandRef, XPLMCommandPhase phase, void *)
{
    if (phase != xplm_CommandEnd)
        return 1;
    if (state.win == nullptr)
        create_window();
    if (state.win == nullptr)
        return 1;
    if (XPLMGetWindowIsVisible(state.win) != 0)
        hide();
    else
        show();
    return 1;
}

void picker_init()
{
    state.cmd = XPLMCreateCommand(picker_command_name, "Show/hide the display regions picker");
    XPLMRegisterCommandHandler(state.cmd, picker_toggle, 0, nullptr);
    preview_start(state.preview);
    state.edit = picker_edit{};
}

void picker_fini()
{
    preview_close(state.preview);
    if (state.win != nullptr) {
        give_back_keyboard();
        XPLMDestroyWindow(state.win);
    }
    if (state.cmd != nullptr)
        XPLMUnregisterCommandHandler(state.cmd, picker_toggle, 0, nullptr);
    state.win = nullptr;
    state.cmd = nullptr;
    state.preview = picker_preview{};
    state.edit = picker_edit{};
}
