// The desk the simulator runs on, set as one description and read back.

#include "host.h"

#include "core/host_state.h"

namespace simhost {

bool host::set_desk(const desk_config &desk)
{
    detail::host_state &s = *s_;
    s.error.clear();
    if (s.gl_ready && desk.monitors != s.desk_wanted.monitors)
        return fail("the monitors are fixed once GL is set up");
    if (!s.desk.configure(desk, s.error))
        return false;
    s.desk_wanted = desk;
    s.wins.set_popped_geometry(desk.popped_last_floating ? detail::popped_geometry::last_floating
                                                         : detail::popped_geometry::os_in_boxels);
    s.wins.set_popout_delay(desk.popout_delay);
    s.wins.follow_desk();
    return true;
}

const desk_config &host::desk() const
{
    return s_->desk_wanted;
}

bool host::set_monitors(const std::vector<monitor_bounds> &os_pixels)
{
    if (s_->gl_ready)
        return fail("the monitors are fixed once GL is set up");
    desk_config d = desk();
    d.monitors = os_pixels;
    d.full_screen.clear();
    d.main = -1;
    d.windowed = false;
    return set_desk(d);
}

bool host::set_screen_size(int width, int height)
{
    return set_monitors({rect{0, height, width, 0}});
}

bool host::set_full_screen(const std::vector<int> &monitors, int main)
{
    desk_config d = desk();
    d.full_screen = monitors;
    d.main = main;
    d.windowed = false;
    return set_desk(d);
}

bool host::set_windowed(const rect &os_pixels)
{
    desk_config d = desk();
    d.windowed = true;
    d.window = os_pixels;
    d.full_screen.clear();
    d.main = -1;
    return set_desk(d);
}

bool host::set_ui_scale(int percent)
{
    desk_config d = desk();
    d.scale = percent;
    return set_desk(d);
}

void host::set_desktop_offset(int x, int y)
{
    desk_config d = desk();
    d.offset_x = x;
    d.offset_y = y;
    set_desk(d);
}

void host::set_popped_geometry_is_last_floating(bool on)
{
    desk_config d = desk();
    d.popped_last_floating = on;
    set_desk(d);
}

void host::set_popout_delay(bool on)
{
    desk_config d = desk();
    d.popout_delay = on;
    set_desk(d);
}

const std::vector<monitor_bounds> &host::monitors() const
{
    return s_->desk.os_monitors();
}

std::vector<indexed_monitor> host::global_monitors() const
{
    return s_->desk.global_monitors();
}

rect host::to_global(const rect &os_pixels) const
{
    return s_->desk.to_global(os_pixels);
}

rect host::to_os(const rect &global) const
{
    return s_->desk.to_os(global);
}

int host::screen_width() const
{
    return s_->desk.main().width();
}

int host::screen_height() const
{
    return s_->desk.main().height();
}

} // namespace simhost
