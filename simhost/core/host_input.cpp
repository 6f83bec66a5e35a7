// The host's side of what a pilot does: commands, menus, the mouse; and what
// a test or the command-line program reads back: windows and screenshots.

#include "host.h"

#include "core/host_state.h"
#include "core/plugin_call.h"

#include <algorithm>
#include <climits>

namespace simhost {

int host::int_dataref(const std::string &name) const
{
    return s_->refs.value_of(name);
}

bool host::command(const std::string &name, press how)
{
    detail::host_state &s = *s_;
    s.error.clear();
    XPLMCommandRef ref = s.cmds.find(name.c_str());
    if (ref == nullptr)
        return fail("no command " + name);
    const bool live = s.callbacks_live();
    switch (how) {
    case press::once:
        s.cmds.once(ref, live);
        return true;
    case press::begin:
        return s.cmds.begin(ref, live) || fail("command " + name + " is held already");
    case press::end:
        return s.cmds.end(ref, live) || fail("command " + name + " is not held");
    }
    return false;
}

bool host::command_exists(const std::string &name) const
{
    return s_->cmds.find(name.c_str()) != nullptr;
}

std::string host::command_description(const std::string &name) const
{
    return s_->cmds.description(s_->cmds.find(name.c_str()));
}

bool host::command_held(const std::string &name) const
{
    return s_->cmds.held(s_->cmds.find(name.c_str()));
}

long host::command_reached_sim(const std::string &name) const
{
    return s_->cmds.reached_sim(name);
}

size_t host::command_handler_count() const
{
    return s_->cmds.handler_count();
}

bool host::choose_menu(const std::vector<std::string> &path)
{
    s_->error.clear();
    return s_->menu_tree.choose(path, s_->cmds, s_->callbacks_live(), s_->error);
}

std::vector<std::string> host::menu_lines() const
{
    return s_->menu_tree.describe(s_->cmds);
}

std::vector<host::window_info> host::windows() const
{
    std::vector<window_info> out;
    for (const detail::window *w : s_->wins.all()) {
        window_info i{};
        i.number = w->number;
        i.title = w->title;
        i.visible = w->visible;
        i.popped_out = w->popped_out;
        i.in_vr = w->in_vr;
        i.mode = w->mode;
        i.mode_monitor = w->mode_monitor;
        i.layer = w->params.layer;
        i.decoration = w->params.decorateAsFloatingWindow;
        i.struct_size = w->params.structSize;
        i.created = rect{w->params.left, w->params.top, w->params.right, w->params.bottom};
        i.callbacks = {w->params.drawWindowFunc != nullptr,       w->params.handleMouseClickFunc != nullptr,
                       w->params.handleRightClickFunc != nullptr, w->params.handleKeyFunc != nullptr,
                       w->params.handleCursorFunc != nullptr,     w->params.handleMouseWheelFunc != nullptr};
        i.geometry = w->geometry;
        i.os = w->os;
        i.reported = s_->wins.reported(*w);
        i.os_in_global = s_->wins.os_in_global(*w);
        i.min_width = w->min_width;
        i.min_height = w->min_height;
        i.max_width = w->max_width;
        i.max_height = w->max_height;
        if (w->on_desktop()) {
            for (const indexed_monitor &m : s_->desk.global_monitors()) {
                if (w->geometry.overlaps(m.bounds))
                    i.on_monitors.push_back(m.index);
            }
        }
        out.push_back(i);
    }
    return out;
}

void host::send_click(bool right, int x, int y, int status)
{
    detail::host_state &s = *s_;
    detail::host_state::mouse_state &m = s.mouse;
    detail::window *&held = right ? m.right : m.left;
    bool &down = right ? m.right_down : m.left_down;
    auto handler = [right](const detail::window &w) {
        return right ? w.params.handleRightClickFunc : w.params.handleMouseClickFunc;
    };

    if (status != xplm_MouseDown) {
        // Drags and the release stay with the window the press went to, as
        // long as it is shown: a window hidden during a press gets neither.
        detail::window *w = held;
        if (status == xplm_MouseUp) {
            down = false;
            held = nullptr;
        }
        if (w != nullptr && w->live && w->visible && s.callbacks_live() && handler(*w) != nullptr) {
            s.wins.handler_point(*w, x, y);
            const detail::plugin_call call("a mouse click handler");
            handler (*w)(w, x, y, status, w->params.refcon);
        }
        return;
    }

    down = true;
    held = nullptr;
    if (!s.callbacks_live())
        return;
    // Front to back until a window takes the press; a press nobody takes
    // still sends its drags and release to the window in front.
    detail::window *first = nullptr;
    for (detail::window *w : s.wins.at(x, y)) {
        if (!w->live)
            continue;
        if (first == nullptr)
            first = w;
        XPLMHandleMouseClick_f fn = handler(*w);
        int wx = x, wy = y;
        s.wins.handler_point(*w, wx, wy);
        const detail::plugin_call call("a mouse click handler");
        if (fn != nullptr && fn(w, wx, wy, xplm_MouseDown, w->params.refcon) != 0) {
            held = w;
            if (!right && w->live)
                s.wins.raise(*w);
            return;
        }
    }
    held = first != nullptr && first->live ? first : nullptr;
}

void host::update_cursor()
{
    detail::host_state &s = *s_;
    s.mouse.cursor = xplm_CursorDefault;
    if (!s.callbacks_live())
        return;
    const std::vector<detail::window *> under = s.wins.at(s.mouse.x, s.mouse.y);
    if (under.empty())
        return;
    detail::window *w = under.front();
    int x = s.mouse.x, y = s.mouse.y;
    s.wins.handler_point(*w, x, y);
    if (w->params.handleCursorFunc != nullptr) {
        const detail::plugin_call call("a cursor handler");
        s.mouse.cursor = w->params.handleCursorFunc(w, x, y, w->params.refcon);
    }
}

void host::mouse_move(int x, int y)
{
    detail::host_state::mouse_state &m = s_->mouse;
    m.x = x;
    m.y = y;
    if (m.left_down)
        send_click(false, x, y, xplm_MouseDrag);
    if (m.right_down)
        send_click(true, x, y, xplm_MouseDrag);
    update_cursor();
}

void host::button_down(bool right, int x, int y)
{
    s_->mouse.x = x;
    s_->mouse.y = y;
    send_click(right, x, y, xplm_MouseDown);
}

void host::button_up(bool right, int x, int y)
{
    s_->mouse.x = x;
    s_->mouse.y = y;
    if (right ? s_->mouse.right_down : s_->mouse.left_down)
        send_click(right, x, y, xplm_MouseUp);
    update_cursor();
}

void host::mouse_down(int x, int y)
{
    button_down(false, x, y);
}

void host::mouse_up(int x, int y)
{
    button_up(false, x, y);
}

void host::click(int x, int y)
{
    button_down(false, x, y);
    button_up(false, x, y);
}

void host::right_down(int x, int y)
{
    button_down(true, x, y);
}

void host::right_up(int x, int y)
{
    button_up(true, x, y);
}

void host::right_click(int x, int y)
{
    button_down(true, x, y);
    button_up(true, x, y);
}

bool host::mouse_wheel(int x, int y, int wheel, int clicks)
{
    detail::host_state &s = *s_;
    s.mouse.x = x;
    s.mouse.y = y;
    if (!s.callbacks_live())
        return false;
    // Front to back, like a press: a window returning 0 passes it on.
    for (detail::window *w : s.wins.at(x, y)) {
        XPLMHandleMouseWheel_f fn = w->params.handleMouseWheelFunc;
        int wx = x, wy = y;
        s.wins.handler_point(*w, wx, wy);
        const detail::plugin_call call("a mouse wheel handler");
        if (w->live && fn != nullptr && fn(w, wx, wy, wheel, clicks, w->params.refcon) != 0)
            return true;
    }
    return false;
}

bool host::close_os_window(int number)
{
    s_->error.clear();
    detail::window *w = shown_os_window(number);
    if (w == nullptr)
        return false;
    // The simulator hides it; the plugin finds out from its visibility.
    w->visible = false;
    return true;
}

detail::window *host::shown_os_window(int number)
{
    for (detail::window *w : s_->wins.all()) {
        if (w->number != number)
            continue;
        if (!w->in_os_window()) {
            fail("window " + std::to_string(number) + " is not a shown, popped-out window");
            return nullptr;
        }
        return w;
    }
    fail("no window " + std::to_string(number));
    return nullptr;
}

bool host::os_move(int number, int left, int bottom)
{
    s_->error.clear();
    detail::window *w = shown_os_window(number);
    if (w == nullptr)
        return false;
    w->os = rect{left, bottom + w->os.height(), left + w->os.width(), bottom};
    return true;
}

bool host::os_resize(int number, int width, int height)
{
    s_->error.clear();
    detail::window *w = shown_os_window(number);
    if (w == nullptr)
        return false;
    // The limits are boxels; the operating system resizes in pixels.
    const detail::desktop &d = s_->desk;
    auto limit = [&](int v, int lo, int hi) {
        const int min_px = d.to_pixels(lo);
        const int max_px = hi > 0 ? d.to_pixels(hi) : INT_MAX;
        return std::max(std::min(v, max_px), std::max(min_px, 1));
    };
    width = limit(width, w->min_width, w->max_width);
    height = limit(height, w->min_height, w->max_height);
    w->os = rect{w->os.left, w->os.top, w->os.left + width, w->os.top - height};
    return true;
}

int host::mouse_x() const
{
    return s_->mouse.x;
}

int host::mouse_y() const
{
    return s_->mouse.y;
}

int host::cursor_status() const
{
    return s_->mouse.cursor;
}

const std::string &host::os_cursor() const
{
    return s_->mouse.os_cursor;
}

bool host::save_screenshots(const std::string &dir, const std::string &name,
                            std::vector<std::string> &written)
{
    s_->error.clear();
    if (!s_->gl_ready)
        return fail("no screenshots without GL");
    return s_->comp->save(dir, name, s_->wins, written, s_->error);
}

} // namespace simhost
