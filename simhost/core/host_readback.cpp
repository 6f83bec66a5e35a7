// What a test or the command-line program reads back: the windows as the
// simulator has them, the mouse and cursor, screenshots, the logs and counts.

#include "host.h"

#include "core/host_state.h"
#include "render/compositor.h"

namespace simhost {

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
        const detail::window_decoration d = detail::decoration_of(*w);
        i.title_bar = d.title_bar;
        i.close_box = d.close_box;
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

int host::mouse_x() const
{
    return s_->pointer.x();
}

int host::mouse_y() const
{
    return s_->pointer.y();
}

int host::cursor_status() const
{
    return s_->pointer.cursor();
}

const std::string &host::os_cursor() const
{
    return s_->pointer.os_cursor();
}

bool host::save_screenshots(const std::string &dir, const std::string &name,
                            std::vector<std::string> &written)
{
    s_->error.clear();
    if (!s_->gl_ready)
        return fail("no screenshots without GL");
    return s_->comp->save(dir, name, s_->wins, written, s_->error);
}

int host::int_dataref(const std::string &name) const
{
    return s_->refs.value_of(name);
}

const std::vector<std::string> &host::debug_strings() const
{
    return s_->log.debug_strings();
}

bool host::set_log_file(const std::string &path)
{
    s_->error.clear();
    return s_->log.set_file(path, s_->error);
}

const std::vector<std::string> &host::host_messages() const
{
    return s_->log.messages();
}

size_t host::flight_loop_count() const
{
    return s_->loops.size();
}

size_t host::draw_callback_count() const
{
    return s_->draws.size();
}

const std::vector<std::string> &host::unexpected_calls() const
{
    return s_->log.unexpected_calls();
}

size_t host::unexpected_call_count(const std::string &name) const
{
    return s_->log.unexpected_count(name);
}

size_t host::off_thread_calls() const
{
    return s_->off_thread_calls.load();
}

} // namespace simhost
