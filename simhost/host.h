#pragma once

// The headless simulator: loads one plugin binary, plays the simulator's side
// of the plugin interface and drives the plugin frame by frame in simulated,
// deterministic time.

#include "core/plugin_timing.h"
#include "geometry.h"
#include "gl/gl_habits.h"
#include "world/aircraft.h"
#include "world/desk_config.h"

#include <memory>
#include <string>
#include <vector>

namespace simhost {

namespace detail {
struct host_state;
} // namespace detail

class host {
public:
    // Becomes the current host, the one the XPLM functions reach.
    host();
    // Disables, stops and unloads the plugin as far as needed.
    ~host();
    host(const host &) = delete;
    host &operator=(const host &) = delete;

    // The folder of a plugin folder that holds this platform's binary: lin_x64 or win_x64.
    static const char *platform_folder();
    // Loads <dir>/<platform folder>/<the single .xpl there, else kyv_pop.xpl>. Paths are UTF-8.
    bool load_plugin_folder(const std::string &dir);
    bool load_plugin_file(const std::string &xpl_path);
    // Why the last load or lifecycle call failed; empty after one that succeeded.
    const std::string &error() const;
    // What XPLMGetPluginInfo reports as the plugin's file path instead of the real one.
    void set_reported_plugin_path(const std::string &path);

    // The simulator's order: start, enable, (disable, enable)*, disable, stop, unload.
    bool start();
    bool enable();
    bool disable();
    bool stop();
    bool unload();
    bool send_message(int from, int message, void *param);
    bool plugin_loaded() const;
    bool plugin_enabled() const;

    const std::string &plugin_name() const;
    const std::string &plugin_signature() const;
    const std::string &plugin_description() const;
    // Absolute path of the loaded binary.
    const std::string &plugin_path() const;

    // The desk, as one description (see desk_config): taken whole, or, with
    // the reason in error(), not at all. The monitors can change only before
    // init_gl; the rest of the desk at any time, and windows on a monitor
    // follow it. The setters below change one part of it each.
    bool set_desk(const desk_config &desk);
    const desk_config &desk() const;
    // The operating system's monitors, in its pixels, y up: a
    // monitor's index is its place in the list, and monitor 0 has its lower-
    // left corner at the origin (default: one of 1920 x 1080). Setting them
    // puts the simulator full screen on all of them, monitor 0 its main one.
    // They can be set only before init_gl; the rest of the desk at any time,
    // and windows on a monitor follow it.
    bool set_monitors(const std::vector<monitor_bounds> &os_pixels);
    // One monitor of that size at the origin.
    bool set_screen_size(int width, int height);
    // Full screen on these monitors only; `main` has the menu bar.
    bool set_full_screen(const std::vector<int> &monitors, int main);
    // In one window of the operating system, on one monitor.
    bool set_windowed(const rect &os_pixels);
    // The user-interface scale: 100, 150 or 200 %.
    bool set_ui_scale(int percent);
    // Where the operating system's origin lies on the global desktop, in boxels.
    void set_desktop_offset(int x, int y);
    // What XPLMGetWindowGeometry reports for a popped-out window: its
    // operating-system window in boxels (default), or its last geometry inside.
    void set_popped_geometry_is_last_floating(bool on);
    // A newly popped-out window's operating-system window appears a frame
    // later (default), or at once.
    void set_popout_delay(bool on);

    // The operating system's monitors, in pixels.
    const std::vector<monitor_bounds> &monitors() const;
    // The monitors the simulator runs full screen on, in boxels, by index.
    std::vector<indexed_monitor> global_monitors() const;
    // Between the desktops, as the simulator converts.
    rect to_global(const rect &os_pixels) const;
    rect to_os(const rect &global) const;
    // The simulator's screen in boxels: its main monitor, or its window.
    int screen_width() const;
    int screen_height() const;
    // Creates the GL context, the panel and a picture per monitor, and makes
    // the context current.
    bool init_gl();
    bool has_gl() const;
    // What each monitor shows, as a framebuffer (0 without GL).
    unsigned monitor_framebuffer(size_t index) const;
    // The main monitor's; the phases other than the gauges draw there.
    unsigned screen_framebuffer() const;
    // The panel the gauges phase draws into (0 without GL), and its size.
    unsigned panel_framebuffer() const;
    int panel_width() const;
    int panel_height() const;
    // Draw the captioned backgrounds behind the windows (default), or plain black.
    void set_backgrounds(bool on);
    std::string gl_renderer() const;

    // --- The simulator's GL habits, each as the simulator has it by default ---
    void set_gl_habits(const gl_habits &habits);
    const gl_habits &habits() const;
    // Freed texture names handed out again by glGenTextures, lowest first
    // (default on; Linux only, where the host's executable stands between
    // the plugin and the driver).
    void set_texture_name_reuse(bool on);
    // Depth under a window when it is drawn: cleared for each window
    // (default), or as the windows drawn before it left it.
    enum class window_depth { cleared, kept };
    void set_window_depth(window_depth how);
    // The gauges phase once per value, in order, with panel_render_type set
    // to it and the panel drawn for that pass: 1 unlit (the displays dark),
    // 2 or 0 lit. An empty list skips the phase. Until called: 1, then 2, as
    // the simulator draws its panel in the 3D cockpit.
    void set_panel_passes(const std::vector<int> &render_types);
    // --- end of the GL habits ---

    // --- The simulator's version and the user's aircraft (see aircraft.h) ---
    using sim_version = simhost::sim_version;
    using device = cockpit_device_id;
    using cockpit_device = simhost::cockpit_device;
    // X-Plane 12.1 by default.
    void set_sim_version(sim_version v);
    sim_version version() const;
    // The user's aircraft from now on (none: one whose displays are in its
    // panel, the default), with the current model. An enabled plugin is sent
    // XPLM_MSG_PLANE_LOADED with 0. False, with a reason, for a size outside
    // 1 to 4096 or a device named twice.
    bool load_aircraft(const aircraft &devices);
    // Loads an aircraft by its model and the cockpit devices it uses; an enabled plugin is sent
    // XPLM_MSG_PLANE_LOADED with parameter 0, as load_aircraft(devices) does. Refused (false, error())
    // for a panel below 64 or above 4096 pixels a side, a face not inside the panel or smaller than 1 pixel,
    // a file name of 256 bytes or more (or none) or a path of 512 or more, or what load_aircraft refuses.
    // With GL the panel takes the model's size and faces at once.
    bool load_aircraft(const aircraft_model &model, const aircraft &devices);
    const aircraft_model &current_aircraft_model() const;
    // False for a device the aircraft does not use.
    bool set_device_bus_volts(device d, float ratio);
    bool set_device_drawn(device d, bool drawn);
    // The device's screen as the last frame left it (0 until it is first
    // drawn, or without GL).
    unsigned device_framebuffer(device d) const;
    // Avionics callbacks the plugin has registered and not unregistered.
    size_t avionics_registration_count() const;
    // --- end of the version and the aircraft ---

    // Each frame advances simulated time by 1 / fps seconds (default 60).
    bool set_frame_rate(double fps);
    double frame_rate() const;
    // Each frame: the due flight loops, then the draw phases.
    void run_frames(int n);
    // Times the plugin's draw and window callbacks from the next frame on.
    // With finish_gl the GL work queued before each callback is finished
    // before its clock starts, and its own work before the clock stops, so
    // the figures include what the callback made the GPU do.
    void set_plugin_timing(bool on, bool finish_gl);
    // The last frame's figures; zero while timing is off.
    const plugin_timing &last_plugin_timing() const;
    double sim_time() const;
    long frame_count() const;

    // Integer datarefs the plugin can find; a few exist by default.
    void set_int_dataref(const std::string &name, int value);
    int int_dataref(const std::string &name) const;

    // Commands, as a key or button would run them. False, with a reason, for
    // an unknown command, a begin on a held one or an end on one not held.
    enum class press { once, begin, end };
    bool command(const std::string &name, press how);
    bool command_exists(const std::string &name) const;
    // Empty for an unknown command.
    std::string command_description(const std::string &name) const;
    bool command_held(const std::string &name) const;
    // Phases that went past the "before" handlers to the simulator.
    long command_reached_sim(const std::string &name) const;
    size_t command_handler_count() const;

    // Chooses a menu item by its path below the Plugins menu, as a pilot would.
    bool choose_menu(const std::vector<std::string> &path);
    // The menu bar's tree, one line per item, indented two spaces a level.
    std::vector<std::string> menu_lines() const;

    // The windows that exist now, in creation order.
    struct window_info {
        int number;
        std::string title;
        bool visible;
        bool popped_out;
        bool in_vr;
        int mode;
        int mode_monitor;
        int layer;
        int decoration;
        int struct_size; // as the plugin declared it
        rect created;    // the geometry it was created with
        struct {
            bool draw, click, right_click, key, cursor, wheel;
        } callbacks;       // which handlers it was given
        rect geometry;     // global boxels, inside the simulator (its last, while popped out)
        rect os;           // the operating-system window in pixels, while popped out
        rect reported;     // what XPLMGetWindowGeometry says
        rect os_in_global; // the operating-system window in boxels, where the mouse finds it
        rect title_bar;    // the simulator's decoration in global boxels, above the
        rect close_box;    // geometry; empty for a window without it
        int min_width, min_height, max_width, max_height;
        // The full-screen monitors a shown, not popped-out window lies on.
        std::vector<int> on_monitors;
    };
    std::vector<window_info> windows() const;
    // The user closes a popped-out window with its operating-system close
    // box: the simulator hides it without asking the plugin.
    bool close_os_window(int number);
    // The user moves a shown, popped-out window's operating-system window to
    // this lower-left corner, or resizes it by its lower-right corner (the
    // top-left corner stays) within its resizing limits; pixels.
    bool os_move(int number, int left, int bottom);
    bool os_resize(int number, int width, int height);

    // --- Keyboard focus and the simulator's window decoration ---
    // A key pressed and released: the window with keyboard focus gets a down event then an up
    // event (flags | xplm_DownFlag, then flags | xplm_UpFlag), `key` the character (0 for none),
    // `vkey` an XPLM_VK_ code; false when no window has focus (the simulator takes the key).
    bool key_press(char key, int vkey, int flags);
    // The number of the window with keyboard focus, -1 for the simulator.
    int keyboard_focus() const;
    // The pilot clicks a shown decorated window's close box: the simulator
    // hides it without asking the plugin. False, with a reason, for a window
    // without one or hidden.
    bool click_close_box(int number);
    // --- end of keyboard focus and decoration ---

    // The mouse, in global boxels. Moving with a button down drags.
    void mouse_move(int x, int y);
    void mouse_down(int x, int y);
    void mouse_up(int x, int y);
    void click(int x, int y);
    void right_down(int x, int y);
    void right_up(int x, int y);
    void right_click(int x, int y);
    // Turns the wheel over the point; true when a window took it, false when
    // it went on to the simulator.
    bool mouse_wheel(int x, int y, int wheel, int clicks);
    int mouse_x() const;
    int mouse_y() const;
    // What the window under the mouse asked for at the last frame or move.
    int cursor_status() const;
    // The name of the last cursor image shown through the operating system.
    const std::string &os_cursor() const;

    // PNGs of every monitor and popped-out window as the last frame left them,
    // into `dir` as <name>-monitor<i>.png and <name>-window<n>-<title>.png.
    bool save_screenshots(const std::string &dir, const std::string &name, std::vector<std::string> &written);

    // Each XPLMDebugString text, in order.
    const std::vector<std::string> &debug_strings() const;
    // Also append every debug string and host message to this file.
    bool set_log_file(const std::string &path);
    // The host's own notes ("simhost: ..."), also written to stderr.
    const std::vector<std::string> &host_messages() const;

    bool feature_enabled(const std::string &name) const;
    size_t flight_loop_count() const;
    size_t draw_callback_count() const;
    // Each XPLM call the host could not honour as asked, and each misuse by a
    // callback (GL state it left changed, a GL error it left pending), once
    // per name, in order.
    const std::vector<std::string> &unexpected_calls() const;
    size_t unexpected_call_count(const std::string &name) const;
    // XPLM calls made off the main thread (ignored, except XPLMDebugString).
    size_t off_thread_calls() const;

private:
    bool fail(std::string why);
    bool refuse(const char *call, const char *needs);
    void drop_callbacks(const char *when);
    void drop_plugin_objects();
    void run_frame();
    void draw_frame();
    void draw_gauges(bool live);
    void draw_devices(bool live); // core/host_devices.cpp
    void draw_phase(int phase, bool live);

    std::unique_ptr<detail::host_state> s_;
};

} // namespace simhost
