#include "host.h"

#include "host_state.h"
#include "xplm_exports.h"

#include <cmath>
#include <cstring>

namespace simhost {

using detail::stage;

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
    detail::set_current(s_.get());
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
    int ok = s_->module.entry().start(name, signature, description);
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
    int result = s_->module.entry().enable();
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
    s_->module.entry().disable();
    s_->at = stage::started;
    return true;
}

bool host::stop()
{
    s_->error.clear();
    if (s_->at != stage::started)
        return refuse("stop", "it must be started and disabled");
    s_->module.entry().stop();
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
    s_->module.close();
    s_->at = stage::none;
    s_->name.clear();
    s_->signature.clear();
    s_->description.clear();
    return true;
}

void host::drop_callbacks(const char *when)
{
    size_t loops = s_->loops.size();
    size_t draws = s_->draws.size();
    if (loops + draws == 0)
        return;
    s_->log.message("the plugin left " + std::to_string(loops) + " flight loop(s) and " +
                    std::to_string(draws) + " draw callback(s) registered " + when + "; dropped");
    s_->loops.clear();
    s_->draws.clear();
}

bool host::send_message(int from, int message, void *param)
{
    s_->error.clear();
    if (s_->at != stage::started && s_->at != stage::enabled)
        return refuse("send_message", "it must be started");
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

bool host::set_screen_size(int width, int height)
{
    if (s_->gl_ready || width <= 0 || height <= 0)
        return false;
    s_->screen_width = width;
    s_->screen_height = height;
    return true;
}

int host::screen_width() const
{
    return s_->screen_width;
}

int host::screen_height() const
{
    return s_->screen_height;
}

bool host::init_gl()
{
    s_->error.clear();
    if (s_->gl_ready)
        return true;
    auto gl = std::make_unique<gl_context>();
    if (!gl->create())
        return fail("no GL context: " + gl->error());
    s_->gl = std::move(gl);
    if (!s_->scr.create(s_->screen_width, s_->screen_height, s_->error)) {
        s_->gl.reset();
        return false;
    }
    s_->gl_ready = true;
    return true;
}

bool host::has_gl() const
{
    return s_->gl_ready;
}

unsigned host::screen_framebuffer() const
{
    return s_->scr.framebuffer();
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
    if (s.callbacks_live())
        s.loops.run(s.time, s.frames, static_cast<float>(dt));
    if (!s.gl_ready) {
        if (!s.noted_no_gl) {
            s.noted_no_gl = true;
            s.log.message("no GL context: draw phases skipped");
        }
        return;
    }
    s.scr.begin_frame();
    if (s.callbacks_live())
        s.draws.run_frame();
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
