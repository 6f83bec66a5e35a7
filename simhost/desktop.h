#pragma once

// The monitors the simulator runs full screen on, in global boxels. The first
// is the main monitor: the screen size is its size, and the global screen
// bounds enclose them all. One boxel is one operating-system pixel here (a
// user-interface scale of 1), so popped-out windows share these coordinates.

#include "geometry.h"

#include <string>
#include <vector>

namespace simhost::detail {

class desktop {
public:
    desktop();
    // False, with a reason, for an empty list, an empty rectangle or two
    // monitors that overlap; the layout is then unchanged.
    bool set(const std::vector<monitor_bounds> &monitors, std::string &error);
    const std::vector<monitor_bounds> &monitors() const { return monitors_; }
    size_t count() const { return monitors_.size(); }
    const monitor_bounds &main() const { return monitors_.front(); }
    rect bounds() const;
    // The monitor holding the point, or -1.
    int monitor_at(int x, int y) const;

private:
    std::vector<monitor_bounds> monitors_;
};

} // namespace simhost::detail
