#pragma once

// How the simulator sits on the desk, as one description: the host takes it
// whole, a scenario file is read into it, and both are checked against it by
// the same rules (see desktop::configure).

#include "geometry.h"

#include <vector>

namespace simhost {

struct desk_config {
    // The operating system's monitors in pixels, y up: a monitor's index is
    // its place in the list, and monitor 0 has its lower-left corner at the
    // origin.
    std::vector<monitor_bounds> monitors{rect{0, 1080, 1920, 0}};
    // The monitors the simulator runs full screen on; empty: all of them.
    std::vector<int> full_screen;
    // The one of them with the menu bar; -1: the first listed (monitor 0 when all).
    int main = -1;
    // In one window of the operating system instead, on one monitor (pixels).
    bool windowed = false;
    rect window;
    // The user-interface scale: 100, 150 or 200 %.
    int scale = 100;
    // Where the operating system's origin lies on the global desktop, in
    // boxels; a windowed simulator places its own origin.
    int offset_x = 0, offset_y = 0;
    // What XPLMGetWindowGeometry reports for a popped-out window: its
    // operating-system window in boxels (default), or its last geometry inside.
    bool popped_last_floating = false;
    // A newly popped-out window's operating-system window appears a frame
    // later (default), or at once.
    bool popout_delay = true;

    static bool offered_scale(int percent) { return percent == 100 || percent == 150 || percent == 200; }
};

} // namespace simhost
