#pragma once

// The headless simulator: loads one plugin binary, plays the simulator's side
// of the plugin interface and drives the plugin frame by frame in simulated,
// deterministic time.

#include <memory>
#include <string>
#include <vector>

namespace simhost {

namespace detail {
struct host_state;
}

class host {
public:
    // Becomes the current host, the one the XPLM functions reach.
    host();
    // Disables, stops and unloads the plugin as far as needed.
    ~host();
    host(const host &) = delete;
    host &operator=(const host &) = delete;

    // Loads <dir>/lin_x64/<the single .xpl there, else kyv_pop.xpl>.
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

    // The screen is an offscreen framebuffer of this size (default 1920 x 1080);
    // it can be set only before init_gl.
    bool set_screen_size(int width, int height);
    int screen_width() const;
    int screen_height() const;
    // Creates the GL context and the screen and makes them current.
    bool init_gl();
    bool has_gl() const;
    // The framebuffer the draw phases render into (0 without GL).
    unsigned screen_framebuffer() const;
    std::string gl_renderer() const;

    // Each frame advances simulated time by 1 / fps seconds (default 60).
    bool set_frame_rate(double fps);
    double frame_rate() const;
    // Each frame: the due flight loops, then the draw phases.
    void run_frames(int n);
    double sim_time() const;
    long frame_count() const;

    // Integer datarefs the plugin can find; a few exist by default.
    void set_int_dataref(const std::string &name, int value);

    // Each XPLMDebugString text, in order.
    const std::vector<std::string> &debug_strings() const;
    // Also append every debug string and host message to this file.
    bool set_log_file(const std::string &path);
    // The host's own notes ("simhost: ..."), also written to stderr.
    const std::vector<std::string> &host_messages() const;

    bool feature_enabled(const std::string &name) const;
    size_t flight_loop_count() const;
    size_t draw_callback_count() const;
    // Each XPLM call the host could not honour as asked, once per name, in order.
    const std::vector<std::string> &unexpected_calls() const;
    size_t unexpected_call_count(const std::string &name) const;
    // XPLM calls made off the main thread (ignored, except XPLMDebugString).
    size_t off_thread_calls() const;

private:
    bool fail(std::string why);
    bool refuse(const char *call, const char *needs);
    void drop_callbacks(const char *when);
    void run_frame();

    std::unique_ptr<detail::host_state> s_;
};

} // namespace simhost
