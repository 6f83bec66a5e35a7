// The frame loop: simulated time, the flight loops, the draw phases in the
// simulator's order (the panel's passes in the gauges phase), the windows,
// and the plugin's share of each frame when it is timed.

#include "host.h"

#include "core/host_state.h"
#include "core/host_timing.h"
#include "gl/gl_api.h"
#include "render/compositor.h"

#include <cmath>

namespace simhost {

using detail::timed;

bool host::set_frame_rate(double fps)
{
    if (!std::isfinite(fps) || fps <= 0)
        return false;
    s_->fps = fps;
    return true;
}

double host::frame_rate() const
{
    return s_->fps;
}

void host::run_frames(int n)
{
    for (int i = 0; i < n; i++)
        run_frame();
}

void host::run_frame()
{
    detail::host_state &s = *s_;
    const double dt = 1.0 / s.fps;
    s.frames++;
    s.time += dt;
    // Keys and buttons held down run their commands once a frame.
    s.cmds.run_held(s.callbacks_live());
    if (s.callbacks_live())
        s.loops.run(s.time, s.frames, static_cast<float>(dt));
    if (s.gl_ready) {
        draw_frame();
    } else if (!s.noted_no_gl) {
        s.noted_no_gl = true;
        s.log.message("no GL context: draw phases skipped");
    }
    // An operating-system window popped out during this frame shows from the next.
    s.wins.frame_passed();
    s.pointer.update_cursor(s.callbacks_live());
}

void host::draw_frame()
{
    detail::host_state &s = *s_;
    detail::compositor &c = *s.comp;
    plugin_timing &t = s.last_timing;
    t = plugin_timing{};
    c.clear_monitors();
    const bool live = s.callbacks_live();
    for (XPLMDrawingPhase phase : detail::draw_callbacks::phases()) {
        if (phase == xplm_Phase_Gauges) {
            draw_gauges(live);
            draw_devices(live); // the cockpit devices' screens, after the panel's passes
            continue;
        }
        c.bind_main(s.desk);
        draw_phase(phase, live);
    }
    if (live) {
        c.draw_windows(s.desk, s.wins, !s.habits.keep_window_depth, s.graphics, [&](detail::window &w) {
            if (w.params.drawWindowFunc == nullptr)
                return;
            if (s.timing)
                t.window_draws++;
            // What the simulator sets for a window: plain 2D drawing, blending on.
            s.graphics.set_state(0, 0, 0, 0, 1, 0, 0);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            timed(s, t.window_draws_us, [&] {
                const detail::plugin_call call(*s.gate, "a window draw callback");
                w.params.drawWindowFunc(&w, w.params.refcon);
            });
        });
    }
    // A frame ends finished, as a synchronised buffer swap ends it. Mesa's
    // software renderer frees a texture deleted after an unflushed draw with
    // it only then: a long run would otherwise grow without bound.
    glFinish();
}

void host::draw_gauges(bool live)
{
    detail::host_state &s = *s_;
    detail::compositor &c = *s.comp;
    for (int render_type : s.habits.panel_passes) {
        c.render_panel(s.time, s.frames, render_type);
        s.refs.set_int("sim/graphics/view/panel_render_type", render_type);
        c.bind_panel();
        s.refs.set_bound_framebuffer(c.the_panel().framebuffer(), c.the_panel().width(),
                                     c.the_panel().height());
        s.refs.set_panel_bounds(c.the_panel().width(), c.the_panel().height());
        draw_phase(xplm_Phase_Gauges, live);
    }
    s.refs.set_bound_framebuffer(0, 0, 0);
    s.refs.set_panel_bounds(0, 0);
}

void host::draw_phase(XPLMDrawingPhase phase, bool live)
{
    detail::host_state &s = *s_;
    if (!live || !s.draws.has_phase(phase))
        return;
    // Unmanaged, but the simulator's convention for 2D drawing.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    timed(s, s.last_timing.draw_callbacks_us, [&] {
        s.draws.run_phase(phase, true);
        s.draws.run_phase(phase, false);
    });
}

void host::set_plugin_timing(bool on, bool finish_gl)
{
    s_->timing = on;
    s_->timing_finish_gl = finish_gl;
}

const plugin_timing &host::last_plugin_timing() const
{
    return s_->last_timing;
}

double host::sim_time() const
{
    return s_->time;
}

long host::frame_count() const
{
    return s_->frames;
}

} // namespace simhost
