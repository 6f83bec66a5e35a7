#pragma once

// What the XPLM functions share with the host object, and how they reach the
// current host. Only the host and the xplm_*.cpp files include this.

#include "cockpit_devices.h"
#include "commands.h"
#include "compositor.h"
#include "datarefs.h"
#include "desktop.h"
#include "device_screens.h"
#include "draw_callbacks.h"
#include "flight_loops.h"
#include "graphics_cache.h"
#include "gl_context.h"
#include "host.h"
#include "host_log.h"
#include "menus.h"
#include "plugin_module.h"
#include "plugin_windows.h"

#include <atomic>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace simhost::detail {

// How far the plugin has come through the simulator's order.
enum class stage { none, loaded, start_failed, started, enabled, stopped };

const int plugin_id = 1;

struct host_state {
    std::thread::id main_thread = std::this_thread::get_id();
    host_log log;
    std::string error;

    // Declared before the compositor so that it outlives it.
    std::unique_ptr<gl_context> gl;
    std::unique_ptr<compositor> comp;
    std::unique_ptr<device_screens> screens; // made with the compositor
    desktop desk;
    bool backgrounds = true;
    bool gl_ready = false;
    bool noted_no_gl = false;
    graphics_cache graphics;

    // The simulator's GL habits that the host can be told to vary.
    bool keep_window_depth = false; // else each window gets a cleared depth buffer
    // The panel's passes each frame, as panel_render_type values: as in the
    // 3D cockpit, the unlit elements first, then the lit ones.
    std::vector<int> panel_passes{1, 2};

    plugin_module module;
    stage at = stage::none;
    std::string name, signature, description;
    std::string reported_path;
    std::map<std::string, bool, std::less<>> features;

    flight_loops loops;
    draw_callbacks draws;
    datarefs refs;
    commands cmds;
    menus menu_tree;
    windows wins{desk};

    // --- The simulator's version and the user's aircraft ---
    host::sim_version version = host::sim_version::xp12_1;
    cockpit_devices devices;
    // --- end of the version and the aircraft ---

    struct mouse_state {
        int x = 0;
        int y = 0;
        window *left = nullptr;  // the window a left press went to, until release
        window *right = nullptr; // the same for the right button
        bool left_down = false;
        bool right_down = false;
        XPLMCursorStatus cursor = xplm_CursorDefault;
        std::string os_cursor; // the last image the plugin showed as the cursor
    } mouse;

    double fps = 60;
    double time = 0;
    long frames = 0;

    bool timing = false;
    bool timing_finish_gl = false;
    plugin_timing last_timing;

    std::atomic<size_t> off_thread_calls{0};

    const std::string &file_path() const { return reported_path.empty() ? module.path() : reported_path; }
    // The plugin's callbacks run only while it is enabled; with no plugin,
    // whatever the caller registered itself runs.
    bool callbacks_live() const { return at == stage::enabled || at == stage::none; }
    bool vr_enabled() const;
};

// The current host, or null when there is none or the caller is not on the
// host's thread (noted, as the simulator allows XPLM calls only there).
host_state *current(const char *call) noexcept;
// The current host whatever the calling thread.
host_state *current_any_thread() noexcept;
void set_current(host_state *h) noexcept;

// Runs an XPLM call's work on the current host; nothing escapes into the plugin.
template <typename F> void with_host(const char *call, F &&work) noexcept
{
    host_state *h = current(call);
    if (h == nullptr)
        return;
    try {
        work(*h);
    } catch (const std::exception &e) {
        try {
            h->log.message(std::string(call) + " failed: " + e.what());
        } catch (...) {
        }
    }
}

template <typename R, typename F> R with_host(const char *call, R neutral, F &&work) noexcept
{
    R result = neutral;
    with_host(call, [&](host_state &h) { result = work(h); });
    return result;
}

// For the calls the host does not implement yet: noted, nothing else.
inline void unexpected_call(const char *call) noexcept
{
    with_host(call, [call](host_state &h) { h.log.unexpected(call); });
}

} // namespace simhost::detail
