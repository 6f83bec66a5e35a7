#pragma once

// The desk the simulator runs on: the operating system's monitors in pixels,
// the simulator's configuration on them (full screen on some of them, or one
// window), its user-interface scale and where its global desktop lies against
// the operating system's. Every conversion between boxels and pixels is here.

#include "geometry.h"
#include "world/desk_config.h"

#include <string>
#include <vector>

namespace simhost::detail {

// The part of a desk description that a desk could not take.
enum class desk_part { monitors, full_screen, windowed, scale };

class desktop {
public:
    // One 1920 x 1080 monitor, the simulator full screen on it, at 100 %.
    desktop();

    // Takes the whole description, or, with a reason and the part at fault,
    // nothing of it. Its popped-out window settings are the windows' own.
    bool configure(const desk_config &c, std::string &error, desk_part *failed = nullptr);

    const std::vector<rect> &os_monitors() const { return os_; }
    // The monitors the simulator runs full screen on, by index, in boxels;
    // none when it runs in a window.
    std::vector<indexed_monitor> global_monitors() const;
    bool windowed() const { return windowed_; }
    const rect &os_window() const { return window_; }
    int scale_percent() const { return percent_; }
    // The global rectangle of a full-screen monitor; false for any other index.
    bool global_bounds(int index, rect &out) const;
    // The main simulator monitor (or the simulator's window) in boxels, and the
    // operating-system monitor it is on.
    rect main() const;
    int main_index() const;
    // What the simulator calls its screen: the box around its full-screen
    // monitors, or its window.
    rect bounds() const;
    // The full-screen monitor holding a global point, or -1.
    int monitor_at(int x, int y) const;

    // Where the simulator draws on an operating-system monitor: the global
    // rectangle it shows there and the pixels it fills. False where it has
    // nothing on that monitor.
    bool view_on(size_t os_index, rect &global, rect &pixels) const;

    // Rectangles between the two desktops. A position and a size are each
    // rounded on their own, so monitors of one size keep one size in boxels.
    rect to_global(const rect &os_pixels) const;
    rect to_os(const rect &global) const;
    // A length in pixels for one in boxels.
    int to_pixels(int boxels) const;

private:
    // The operating system's monitors in pixels, y up; a monitor's index is
    // its place in the list, and monitor 0, the main one, has its lower-left
    // corner at the origin. The simulator then runs full screen on all of them
    // with monitor 0 as its main monitor. False, with a reason, for an empty
    // list, an empty rectangle, overlapping monitors or a main monitor off the
    // origin; the desk is then unchanged.
    bool set_monitors(const std::vector<rect> &os_pixels, std::string &error);
    // Full screen on these monitors; `main` (one of them) has the menu bar.
    bool set_full_screen(const std::vector<int> &indices, int main, std::string &error);
    // One window of the operating system, which must lie on one monitor; the
    // global desktop is then that window, its lower-left corner at (0, 0).
    bool set_windowed(const rect &os_window, std::string &error);
    // 100, 150 or 200.
    bool set_scale(int percent, std::string &error);
    // Where the operating system's origin lies on the global desktop, in
    // boxels. A windowed simulator places its own origin and ignores it.
    void set_offset(int x, int y);

    int origin_x() const;
    int origin_y() const;

    std::vector<rect> os_;
    std::vector<int> full_screen_; // ascending OS indices; empty when windowed
    int main_ = 0;
    bool windowed_ = false;
    rect window_;
    int percent_ = 100;
    int offset_x_ = 0, offset_y_ = 0;
};

} // namespace simhost::detail
