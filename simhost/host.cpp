#include "host.h"

#include "gl_name_reuse.h"
#include "host_state.h"
#include "host_timing.h"
#include "plugin_call.h"
#include "os_hooks.h"
#include "xplm_exports.h"

#include "gl_api.h"

#include <cmath>
#include <cstring>

namespace simhost {

using detail::stage;
using detail::timed;

namespace {

const size_t plugin_string_size = 256;

const char *describe(stage at)
{
    switch (at) {
    case stage::none:
        return "not loaded";
    case stage::loaded:
        return "loaded but not started";
    case stage::start_failed:
        return "loaded but its start failed";
    case stage::started:
        return "started";
    case stage::enabled:
        return "enabled";
    case stage::stopped:
        return "stopped";
    }
    return "in an unknown state";
}

std::string from_buffer(const char *buf)
{
    return std::string(buf, strnlen(buf, plugin_string_size));
}

} // namespace

host::host() : s_(std::make_unique<detail::host_state>())
{
    // Referencing the table links every XPLM object file into the executable,
    // including the ones nothing in the host itself calls.
    size_t n = 0;
    static_cast<void>(xplm_functions(n));
    volatile auto hook = &os_cursor_hook;
    static_cast<void>(hook);
    detail::set_current(s_.get());
    detail::set_texture_name_reuse(true);
}

host::~host()
{
    if (s_->at == stage::enabled)
        disable();
    if (s_->at == stage::started)
        stop();
    if (s_->at != stage::none)
        unload();
    if (detail::current_any_thread() == s_.get())
        detail::set_current(nullptr);
}

bool host::fail(std::string why)
{
    s_->error = std::move(why);
    return false;
}

bool host::refuse(const char *call, const char *needs)
{
    return fail(std::string(call) + " refused: the plugin is " + describe(s_->at) + "; " + needs);
}

const std::string &host::error() const
{
    return s_->error;
}

const char *host::platform_folder()
{
    return detail::platform_folder();
}

bool host::load_plugin_folder(const std::string &dir)
{
    s_->error.clear();
    std::string path;
    if (!detail::find_plugin_in_folder(dir, path, s_->error))
        return false;
    return load_plugin_file(path);
}

bool host::load_plugin_file(const std::string &xpl_path)
{
    s_->error.clear();
    if (s_->at != stage::none)
        return fail("cannot load " + xpl_path + ": " + s_->module.path() + " is loaded already");
    if (!s_->module.open(xpl_path, s_->error))
        return false;
    s_->at = stage::loaded;
    return true;
}

void host::set_reported_plugin_path(const std::string &path)
{
    s_->reported_path = path;
}

bool host::start()
{
    s_->error.clear();
    if (s_->at != stage::loaded)
        return refuse("start", "it must be loaded and not yet started");
    char name[plugin_string_size] = {};
    char signature[plugin_string_size] = {};
    char description[plugin_string_size] = {};
    int ok = 0;
    {
        const detail::plugin_call call("XPluginStart");
        ok = s_->module.entry().start(name, signature, description);
    }
    s_->name = from_buffer(name);
    s_->signature = from_buffer(signature);
    s_->description = from_buffer(description);
    if (ok == 0) {
        s_->at = stage::start_failed;
        return fail("XPluginStart of " + s_->module.path() + " returned 0");
    }
    s_->at = stage::started;
    return true;
}

bool host::enable()
{
    s_->error.clear();
    if (s_->at != stage::started)
        return refuse("enable", "it must be started and not enabled");
    int result = 0;
    {
        const detail::plugin_call call("XPluginEnable");
        result = s_->module.entry().enable();
    }
    if (result != 1)
        return fail("XPluginEnable returned " + std::to_string(result));
    s_->at = stage::enabled;
    return true;
}

bool host::disable()
{
    s_->error.clear();
    if (s_->at != stage::enabled)
        return refuse("disable", "it must be enabled");
    {
        const detail::plugin_call call("XPluginDisable");
        s_->module.entry().disable();
    }
    s_->at = stage::started;
    return true;
}

bool host::stop()
{
    s_->error.clear();
    if (s_->at != stage::started)
        return refuse("stop", "it must be started and disabled");
    {
        const detail::plugin_call call("XPluginStop");
        s_->module.entry().stop();
    }
    s_->at = stage::stopped;
    drop_callbacks("after XPluginStop");
    return true;
}

bool host::unload()
{
    s_->error.clear();
    if (s_->at == stage::none)
        return refuse("unload", "nothing to unload");
    if (s_->at == stage::started || s_->at == stage::enabled)
        return refuse("unload", "it must be stopped first");
    // Its code is about to go: nothing of it may be called again.
    drop_callbacks("at unload");
    drop_plugin_objects();
    s_->module.close();
    s_->at = stage::none;
    s_->name.clear();
    s_->signature.clear();
    s_->description.clear();
    return true;
}

void host::drop_callbacks(const char *when)
{
    detail::host_state &s = *s_;
    const size_t loops = s.loops.size();
    const size_t draws = s.draws.size();
    const size_t handlers = s.cmds.handler_count();
    if (loops + draws + handlers > 0)
        s.log.message("the plugin left " + std::to_string(loops) + " flight loop(s), " +
                      std::to_string(draws) + " draw callback(s) and " + std::to_string(handlers) +
                      " command handler(s) registered " + when + "; dropped");
    s.loops.clear();
    s.draws.clear();
    s.cmds.clear_handlers();
    // --- avionics callbacks ---
    if (s.devices.registration_count() > 0)
        s.log.message("the plugin left " + std::to_string(s.devices.registration_count()) +
                      " avionics registration(s) " + when + "; dropped");
    s.devices.drop_registrations();
    // --- end of the avionics callbacks ---
}

void host::drop_plugin_objects()
{
    detail::host_state &s = *s_;
    const size_t windows = s.wins.destroy_all();
    if (windows > 0)
        s.log.message("the plugin left " + std::to_string(windows) + " window(s) at unload; destroyed");
    s.menu_tree.clear_handlers();
    s.mouse.left = s.mouse.right = nullptr;
}

bool host::send_message(int from, int message, void *param)
{
    s_->error.clear();
    if (s_->at != stage::started && s_->at != stage::enabled)
        return refuse("send_message", "it must be started");
    const detail::plugin_call call("XPluginReceiveMessage");
    s_->module.entry().receive_message(from, message, param);
    return true;
}

bool host::plugin_loaded() const
{
    return s_->at != stage::none;
}

bool host::plugin_enabled() const
{
    return s_->at == stage::enabled;
}

const std::string &host::plugin_name() const
{
    return s_->name;
}

const std::string &host::plugin_signature() const
{
    return s_->signature;
}

const std::string &host::plugin_description() const
{
    return s_->description;
}

const std::string &host::plugin_path() const
{
    return s_->module.path();
}

bool host::set_monitors(const std::vector<monitor_bounds> &os_pixels)
{
    s_->error.clear();
    if (s_->gl_ready)
        return fail("the monitors are fixed once GL is set up");
    if (!s_->desk.set_monitors(os_pixels, s_->error))
        return false;
    s_->wins.follow_desk();
    return true;
}

bool host::set_screen_size(int width, int height)
{
    return set_monitors({rect{0, height, width, 0}});
}

bool host::set_full_screen(const std::vector<int> &monitors, int main)
{
    s_->error.clear();
    if (!s_->desk.set_full_screen(monitors, main, s_->error))
        return false;
    s_->wins.follow_desk();
    return true;
}

bool host::set_windowed(const rect &os_pixels)
{
    s_->error.clear();
    if (!s_->desk.set_windowed(os_pixels, s_->error))
        return false;
    s_->wins.follow_desk();
    return true;
}

bool host::set_ui_scale(int percent)
{
    s_->error.clear();
    if (!s_->desk.set_scale(percent, s_->error))
        return false;
    s_->wins.follow_desk();
    return true;
}

void host::set_desktop_offset(int x, int y)
{
    s_->desk.set_offset(x, y);
    s_->wins.follow_desk();
}

void host::set_popped_geometry_is_last_floating(bool on)
{
    s_->wins.set_popped_geometry(on ? detail::popped_geometry::last_floating
                                    : detail::popped_geometry::os_in_boxels);
}

void host::set_popout_delay(bool on)
{
    s_->wins.set_popout_delay(on);
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
    if (!comp->create(s_->desk.os_monitors(), detail::panel::min_width, detail::panel::min_height,
                      s_->error)) {
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
    update_cursor();
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
        c.draw_windows(s.desk, s.wins, !s.keep_window_depth, [&](detail::window &w) {
            if (w.params.drawWindowFunc == nullptr)
                return;
            if (s.timing)
                t.window_draws++;
            // What the simulator sets for a window: plain 2D drawing, blending on.
            s.graphics.set_state(0, 0, 0, 0, 1, 0, 0);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            timed(s, t.window_draws_us, [&] {
                const detail::plugin_call call("a window draw callback");
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
    for (int render_type : s.panel_passes) {
        c.render_panel(s.time, s.frames, render_type);
        s.refs.set_int("sim/graphics/view/panel_render_type", render_type);
        c.bind_panel();
        s.refs.set_bound_framebuffer(c.the_panel().framebuffer(), c.the_panel().width(),
                                     c.the_panel().height());
        draw_phase(xplm_Phase_Gauges, live);
    }
    s.refs.set_bound_framebuffer(0, 0, 0);
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

void host::set_texture_name_reuse(bool on)
{
    detail::set_texture_name_reuse(on);
}

void host::set_window_depth(window_depth how)
{
    s_->keep_window_depth = how == window_depth::kept;
}

void host::set_panel_passes(const std::vector<int> &render_types)
{
    s_->panel_passes = render_types;
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

void host::set_int_dataref(const std::string &name, int value)
{
    s_->refs.set_int(name, value);
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

bool host::feature_enabled(const std::string &name) const
{
    auto it = s_->features.find(name);
    return it != s_->features.end() && it->second;
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
