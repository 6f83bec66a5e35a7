// The host's side of what a pilot does: commands and keys, menus, the mouse,
// windows' close boxes and the operating-system windows of popped-out windows.

#include "host.h"

#include "core/host_state.h"

namespace simhost {

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

void host::set_int_dataref(const std::string &name, int value)
{
    s_->refs.set_int(name, value);
}

void host::mouse_move(int x, int y)
{
    s_->pointer.move(x, y, s_->callbacks_live());
}

void host::mouse_down(int x, int y)
{
    s_->pointer.press(false, x, y, s_->callbacks_live());
}

void host::mouse_up(int x, int y)
{
    s_->pointer.release(false, x, y, s_->callbacks_live());
}

void host::click(int x, int y)
{
    mouse_down(x, y);
    mouse_up(x, y);
}

void host::right_down(int x, int y)
{
    s_->pointer.press(true, x, y, s_->callbacks_live());
}

void host::right_up(int x, int y)
{
    s_->pointer.release(true, x, y, s_->callbacks_live());
}

void host::right_click(int x, int y)
{
    right_down(x, y);
    right_up(x, y);
}

bool host::mouse_wheel(int x, int y, int wheel, int clicks)
{
    return s_->pointer.wheel(x, y, wheel, clicks, s_->callbacks_live());
}

bool host::close_os_window(int number)
{
    s_->error.clear();
    if (!s_->wins.user_close(number, s_->error))
        return false;
    s_->keys.release(*s_->wins.numbered(number), s_->callbacks_live());
    return true;
}

bool host::key_press(char key, int vkey, int flags)
{
    return s_->keys.press(key, vkey, flags, s_->callbacks_live());
}

int host::keyboard_focus() const
{
    const detail::window *w = s_->keys.focus();
    return w != nullptr ? w->number : -1;
}

bool host::click_close_box(int number)
{
    detail::host_state &s = *s_;
    s.error.clear();
    detail::window *w = s.wins.numbered(number);
    if (w == nullptr)
        return fail("no window " + std::to_string(number));
    if (!detail::has_title_bar(*w) || !w->visible)
        return fail("window " + std::to_string(number) + " shows no close box");
    s.pointer.click_close_box(*w, s.callbacks_live());
    return true;
}

bool host::os_move(int number, int left, int bottom)
{
    s_->error.clear();
    return s_->wins.user_move(number, left, bottom, s_->error);
}

bool host::os_resize(int number, int width, int height)
{
    s_->error.clear();
    return s_->wins.user_resize(number, width, height, s_->error);
}

} // namespace simhost
