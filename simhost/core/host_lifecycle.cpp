// The host's lifecycle and the plugin's: loading it, the simulator's order
// of calls into it, and what is dropped when it goes.

#include "host.h"

#include "core/host_state.h"
#include "gl/gl_name_reuse.h"

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
    detail::set_current(s_.get());
    set_gl_habits(s_->habits);
    detail::route_texture_names_of(nullptr);
}

host::~host()
{
    if (s_->plugin.at == stage::enabled)
        disable();
    if (s_->plugin.at == stage::started)
        stop();
    if (s_->plugin.at != stage::none)
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
    return fail(std::string(call) + " refused: the plugin is " + describe(s_->plugin.at) + "; " + needs);
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
    if (s_->plugin.at != stage::none)
        return fail("cannot load " + xpl_path + ": " + s_->plugin.module.path() + " is loaded already");
    if (!s_->plugin.module.open(xpl_path, s_->error))
        return false;
    detail::route_texture_names_of(reinterpret_cast<const void *>(s_->plugin.module.entry().start));
    s_->plugin.at = stage::loaded;
    return true;
}

void host::set_reported_plugin_path(const std::string &path)
{
    s_->plugin.reported_path = path;
}

bool host::start()
{
    s_->error.clear();
    if (s_->plugin.at != stage::loaded)
        return refuse("start", "it must be loaded and not yet started");
    char name[plugin_string_size] = {};
    char signature[plugin_string_size] = {};
    char description[plugin_string_size] = {};
    int ok = 0;
    {
        const detail::plugin_call call(*s_->gate, "XPluginStart");
        ok = s_->plugin.module.entry().start(name, signature, description);
    }
    s_->plugin.name = from_buffer(name);
    s_->plugin.signature = from_buffer(signature);
    s_->plugin.description = from_buffer(description);
    if (ok == 0) {
        s_->plugin.at = stage::start_failed;
        return fail("XPluginStart of " + s_->plugin.module.path() + " returned 0");
    }
    s_->plugin.at = stage::started;
    return true;
}

bool host::enable()
{
    s_->error.clear();
    if (s_->plugin.at != stage::started)
        return refuse("enable", "it must be started and not enabled");
    int result = 0;
    {
        const detail::plugin_call call(*s_->gate, "XPluginEnable");
        result = s_->plugin.module.entry().enable();
    }
    if (result != 1)
        return fail("XPluginEnable returned " + std::to_string(result));
    s_->plugin.at = stage::enabled;
    return true;
}

bool host::disable()
{
    s_->error.clear();
    if (s_->plugin.at != stage::enabled)
        return refuse("disable", "it must be enabled");
    {
        const detail::plugin_call call(*s_->gate, "XPluginDisable");
        s_->plugin.module.entry().disable();
    }
    s_->plugin.at = stage::started;
    return true;
}

bool host::stop()
{
    s_->error.clear();
    if (s_->plugin.at != stage::started)
        return refuse("stop", "it must be started and disabled");
    {
        const detail::plugin_call call(*s_->gate, "XPluginStop");
        s_->plugin.module.entry().stop();
    }
    s_->plugin.at = stage::stopped;
    drop_callbacks("after XPluginStop");
    return true;
}

bool host::unload()
{
    s_->error.clear();
    if (s_->plugin.at == stage::none)
        return refuse("unload", "nothing to unload");
    if (s_->plugin.at == stage::started || s_->plugin.at == stage::enabled)
        return refuse("unload", "it must be stopped first");
    // Its code is about to go: nothing of it may be called again.
    drop_callbacks("at unload");
    drop_plugin_objects();
    s_->plugin.module.close();
    s_->plugin.at = stage::none;
    s_->plugin.name.clear();
    s_->plugin.signature.clear();
    s_->plugin.description.clear();
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
    if (s.devices.registration_count() > 0)
        s.log.message("the plugin left " + std::to_string(s.devices.registration_count()) +
                      " avionics registration(s) " + when + "; dropped");
    s.devices.drop_registrations();
}

void host::drop_plugin_objects()
{
    detail::host_state &s = *s_;
    const size_t windows = s.wins.destroy_all();
    if (windows > 0)
        s.log.message("the plugin left " + std::to_string(windows) + " window(s) at unload; destroyed");
    s.menu_tree.clear_handlers();
    s.pointer.forget_all();
    s.keys.forget_all();
}

bool host::send_message(int from, int message, void *param)
{
    s_->error.clear();
    if (s_->plugin.at != stage::started && s_->plugin.at != stage::enabled)
        return refuse("send_message", "it must be started");
    const detail::plugin_call call(*s_->gate, "XPluginReceiveMessage");
    s_->plugin.module.entry().receive_message(from, message, param);
    return true;
}

bool host::plugin_loaded() const
{
    return s_->plugin.at != stage::none;
}

bool host::plugin_enabled() const
{
    return s_->plugin.at == stage::enabled;
}

const std::string &host::plugin_name() const
{
    return s_->plugin.name;
}

const std::string &host::plugin_signature() const
{
    return s_->plugin.signature;
}

const std::string &host::plugin_description() const
{
    return s_->plugin.description;
}

const std::string &host::plugin_path() const
{
    return s_->plugin.module.path();
}

bool host::feature_enabled(const std::string &name) const
{
    auto it = s_->plugin.features.find(name);
    return it != s_->plugin.features.end() && it->second;
}

} // namespace simhost
