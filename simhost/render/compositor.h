#pragma once

// What the host shows each frame: the panel the gauges phase sees, and the
// picture of every monitor and every popped-out window with the windows drawn
// into it in their own coordinates.

#include "gl/graphics_cache.h"
#include "world/desktop.h"
#include "render/monitor_background.h"
#include "render/panel.h"
#include "render/render_target.h"
#include "world/aircraft.h"
#include "world/windows.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace simhost::detail {

class compositor {
public:
    // A picture per operating-system monitor, in its pixels. Needs the GL
    // context current; the monitors are fixed from here on.
    bool create(const std::vector<rect> &os_monitors, const aircraft_model &aircraft, std::string &error);
    // The panel of another aircraft: a framebuffer anew for another size,
    // else only its faces move.
    bool reshape_panel(const aircraft_model &aircraft, std::string &error);
    bool ready() const { return !monitors_.empty(); }
    void set_backgrounds(bool on) { backgrounds_ = on; }

    // Each frame, in this order.
    // The panel as a pass of that panel_render_type shows it.
    void render_panel(double sim_time, long frame, int render_type);
    void clear_monitors() const;
    // The gauges phase draws into the panel, in panel pixels.
    void bind_panel() const;
    // The other phases draw where the simulator's main screen is, in its pixels.
    void bind_main(const desktop &d) const;
    using draw_fn = std::function<void(window &)>;
    // Desktop windows back to front on every monitor the simulator shows them
    // on, scaled to its pixels, then each popped-out window into its own
    // picture, shown over the monitors at its operating-system place. With
    // clear_depth each window starts from a cleared depth buffer; else from
    // what the windows before it left. A decorated window's frame is drawn
    // before it, through the simulator's cache of the managed state.
    void draw_windows(const desktop &d, const windows &wins, bool clear_depth, graphics_cache &cache,
                      const draw_fn &draw);

    const panel &the_panel() const { return panel_; }
    size_t monitor_count() const { return monitors_.size(); }
    unsigned monitor_framebuffer(size_t i) const;
    // The popped-out window's picture, or null when it has none.
    const render_target *window_picture(const window &w) const;

    // PNGs of the last frame: <name>-monitor<i>.png for each monitor and
    // <name>-window<n>-<title>.png for each popped-out window. Adds each file
    // written to `written`; false, with a reason, at the first that fails.
    bool save(const std::string &dir, const std::string &name, const windows &wins,
              std::vector<std::string> &written, std::string &error) const;

private:
    struct monitor {
        rect bounds; // operating-system pixels
        render_target target;
        monitor_background background;
    };
    render_target *picture_for(const window &w);

    panel panel_;
    std::vector<std::unique_ptr<monitor>> monitors_;
    std::map<int, std::unique_ptr<render_target>> pictures_; // by window number
    bool backgrounds_ = true;
};

// A file-name-safe form of a window title: lower case, words joined by '-'.
std::string file_slug(const std::string &title);

} // namespace simhost::detail
