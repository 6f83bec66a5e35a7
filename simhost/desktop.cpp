#include "desktop.h"

#include <algorithm>

namespace simhost::detail {

namespace {

std::string describe(size_t index, const rect &r)
{
    return "monitor " + std::to_string(index) + " (" + std::to_string(r.left) + ", " +
           std::to_string(r.bottom) + ", " + std::to_string(r.width()) + " x " + std::to_string(r.height()) +
           ")";
}

} // namespace

desktop::desktop() : monitors_{rect{0, 1080, 1920, 0}} {}

bool desktop::set(const std::vector<monitor_bounds> &monitors, std::string &error)
{
    if (monitors.empty()) {
        error = "no monitors";
        return false;
    }
    for (size_t i = 0; i < monitors.size(); i++) {
        if (monitors[i].empty()) {
            error = describe(i, monitors[i]) + " has no area";
            return false;
        }
        for (size_t j = 0; j < i; j++) {
            if (monitors[i].overlaps(monitors[j])) {
                error = describe(i, monitors[i]) + " overlaps " + describe(j, monitors[j]);
                return false;
            }
        }
    }
    monitors_ = monitors;
    return true;
}

rect desktop::bounds() const
{
    rect b = monitors_.front();
    for (const rect &m : monitors_) {
        b.left = std::min(b.left, m.left);
        b.bottom = std::min(b.bottom, m.bottom);
        b.right = std::max(b.right, m.right);
        b.top = std::max(b.top, m.top);
    }
    return b;
}

int desktop::monitor_at(int x, int y) const
{
    for (size_t i = 0; i < monitors_.size(); i++) {
        if (monitors_[i].contains(x, y))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace simhost::detail
