// The host's GL: its context, the renderer that draws the panel and the
// monitors, and the simulator's GL habits.

#include "host.h"

#include "core/host_state.h"
#include "gl/gl_context.h"
#include "gl/gl_name_reuse.h"
#include "render/compositor.h"
#include "render/device_screens.h"

namespace simhost {

bool host::init_gl()
{
    s_->error.clear();
    if (s_->gl_ready)
        return true;
    // A new context: no texture name of an earlier one is in use or free.
    detail::forget_texture_names();
    auto gl = std::make_unique<gl_context>();
    if (!gl->create())
        return fail("no GL context: " + gl->error());
    s_->gl = std::move(gl);
    auto comp = std::make_unique<detail::compositor>();
    if (!comp->create(s_->desk.os_monitors(), s_->model, s_->error)) {
        comp.reset();
        s_->gl.reset();
        return false;
    }
    comp->set_backgrounds(s_->backgrounds);
    s_->comp = std::move(comp);
    s_->screens = std::make_unique<detail::device_screens>();
    s_->gl_ready = true;
    return true;
}

bool host::has_gl() const
{
    return s_->gl_ready;
}

unsigned host::monitor_framebuffer(size_t index) const
{
    return s_->gl_ready ? s_->comp->monitor_framebuffer(index) : 0;
}

unsigned host::screen_framebuffer() const
{
    return monitor_framebuffer(static_cast<size_t>(s_->desk.main_index()));
}

unsigned host::panel_framebuffer() const
{
    return s_->gl_ready ? s_->comp->the_panel().framebuffer() : 0;
}

int host::panel_width() const
{
    return s_->gl_ready ? s_->comp->the_panel().width() : 0;
}

int host::panel_height() const
{
    return s_->gl_ready ? s_->comp->the_panel().height() : 0;
}

void host::set_backgrounds(bool on)
{
    s_->backgrounds = on;
    if (s_->comp != nullptr)
        s_->comp->set_backgrounds(on);
}

std::string host::gl_renderer() const
{
    return s_->gl_ready ? s_->gl->renderer() : std::string();
}

void host::set_gl_habits(const gl_habits &habits)
{
    s_->habits = habits;
    detail::set_texture_name_reuse(habits.texture_name_reuse);
}

const gl_habits &host::habits() const
{
    return s_->habits;
}

void host::set_texture_name_reuse(bool on)
{
    gl_habits h = s_->habits;
    h.texture_name_reuse = on;
    set_gl_habits(h);
}

void host::set_window_depth(window_depth how)
{
    s_->habits.keep_window_depth = how == window_depth::kept;
}

void host::set_panel_passes(const std::vector<int> &render_types)
{
    s_->habits.panel_passes = render_types;
}

} // namespace simhost
