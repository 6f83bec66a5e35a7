#pragma once

// What the XPLM functions share with the host object. Only the host and the
// XPLM functions include this; GL and the renderer stay behind pointers, so
// the world is all an XPLM function compiles against.

#include "core/host_log.h"
#include "core/plugin_timing.h"
#include "gl/gl_habits.h"
#include "gl/graphics_cache.h"
#include "platform/plugin_module.h"
#include "world/aircraft.h"
#include "world/cockpit_devices.h"
#include "world/commands.h"
#include "world/datarefs.h"
#include "world/desk_config.h"
#include "world/desktop.h"
#include "world/draw_callbacks.h"
#include "world/flight_loops.h"
#include "world/keyboard.h"
#include "world/menus.h"
#include "world/mouse.h"
#include "world/plugin_gate.h"
#include "world/windows.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace simhost {
class gl_context;
}

namespace simhost::detail {

class compositor;
class device_screens;

// How far the plugin has come through the simulator's order.
enum class stage { none, loaded, start_failed, started, enabled, stopped };

const int plugin_id = 1;

// The plugin as the simulator knows it.
struct plugin_record {
    plugin_module module;
    stage at = stage::none;
    std::string name, signature, description;
    std::string reported_path;
    std::map<std::string, bool, std::less<>> features;

    const std::string &file_path() const { return reported_path.empty() ? module.path() : reported_path; }
};

struct host_state {
    host_state();
    ~host_state();
    host_state(const host_state &) = delete;
    host_state &operator=(const host_state &) = delete;

    std::thread::id main_thread = std::this_thread::get_id();
    host_log log;
    std::string error;

    // GL: declared before the compositor so that it outlives it.
    std::unique_ptr<gl_context> gl;
    std::unique_ptr<compositor> comp;
    std::unique_ptr<device_screens> screens; // made with the compositor
    bool backgrounds = true;
    bool gl_ready = false;
    bool noted_no_gl = false;
    graphics_cache graphics;
    gl_habits habits;

    plugin_record plugin;

    // The world, every call into the plugin through the gate.
    std::unique_ptr<plugin_gate> gate;
    desk_config desk_wanted;
    desktop desk;
    flight_loops loops{*gate};
    draw_callbacks draws{*gate};
    datarefs refs;
    commands cmds{*gate};
    menus menu_tree{*gate};
    windows wins{desk};
    keyboard keys{*gate};
    mouse pointer{wins, keys, *gate};

    // The simulator the host plays, and the user's aircraft's own devices.
    sim_version version = sim_version::xp12_1;
    cockpit_devices devices;
    aircraft_model model;

    // Simulated time.
    double fps = 60;
    double time = 0;
    long frames = 0;

    bool timing = false;
    bool timing_finish_gl = false;
    plugin_timing last_timing;

    std::atomic<size_t> off_thread_calls{0};

    // The plugin's callbacks run only while it is enabled; with no plugin,
    // whatever the caller registered itself runs.
    bool callbacks_live() const { return plugin.at == stage::enabled || plugin.at == stage::none; }
    bool vr_enabled() const;
};

// The current host, or null when there is none or the caller is not on the
// host's thread (noted, as the simulator allows XPLM calls only there).
host_state *current(const char *call) noexcept;
// The current host whatever the calling thread.
host_state *current_any_thread() noexcept;
void set_current(host_state *h) noexcept;

} // namespace simhost::detail
