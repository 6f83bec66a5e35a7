#include "world/desktop.h"

#include <algorithm>
#include <cmath>

namespace simhost::detail {

namespace {

std::string describe(size_t index, const rect &r)
{
    return "monitor " + std::to_string(index) + " (" + std::to_string(r.left) + ", " +
           std::to_string(r.bottom) + ", " + std::to_string(r.width()) + " x " + std::to_string(r.height()) +
           ")";
}

int scaled(double v)
{
    return static_cast<int>(std::lround(v));
}

rect from_corner(int left, int bottom, int width, int height)
{
    return rect{left, bottom + height, left + width, bottom};
}

} // namespace

desktop::desktop() : os_{rect{0, 1080, 1920, 0}}, full_screen_{0} {}

bool desktop::configure(const desk_config &c, std::string &error, desk_part *failed)
{
    auto refuse = [failed](desk_part part) {
        if (failed != nullptr)
            *failed = part;
        return false;
    };
    desktop d;
    if (!d.set_monitors(c.monitors, error))
        return refuse(desk_part::monitors);
    if (!c.full_screen.empty() &&
        !d.set_full_screen(c.full_screen, c.main < 0 ? c.full_screen.front() : c.main, error))
        return refuse(desk_part::full_screen);
    if (c.windowed && !d.set_windowed(c.window, error))
        return refuse(desk_part::windowed);
    if (!d.set_scale(c.scale, error))
        return refuse(desk_part::scale);
    d.set_offset(c.offset_x, c.offset_y);
    *this = d;
    return true;
}

bool desktop::set_monitors(const std::vector<rect> &os_pixels, std::string &error)
{
    if (os_pixels.empty()) {
        error = "no monitors";
        return false;
    }
    for (size_t i = 0; i < os_pixels.size(); i++) {
        if (os_pixels[i].empty()) {
            error = describe(i, os_pixels[i]) + " has no area";
            return false;
        }
        for (size_t j = 0; j < i; j++) {
            if (os_pixels[i].overlaps(os_pixels[j])) {
                error = describe(i, os_pixels[i]) + " overlaps " + describe(j, os_pixels[j]);
                return false;
            }
        }
    }
    if (os_pixels[0].left != 0 || os_pixels[0].bottom != 0) {
        error = describe(0, os_pixels[0]) + ", the main one, must have its lower-left corner at (0, 0)";
        return false;
    }
    os_ = os_pixels;
    full_screen_.clear();
    for (size_t i = 0; i < os_.size(); i++)
        full_screen_.push_back(static_cast<int>(i));
    main_ = 0;
    windowed_ = false;
    return true;
}

bool desktop::set_full_screen(const std::vector<int> &indices, int main, std::string &error)
{
    std::vector<int> sorted = indices;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty()) {
        error = "full screen on no monitor";
        return false;
    }
    for (size_t i = 0; i < sorted.size(); i++) {
        if (sorted[i] < 0 || static_cast<size_t>(sorted[i]) >= os_.size()) {
            error = "full screen on monitor " + std::to_string(sorted[i]) + ", which does not exist (" +
                    std::to_string(os_.size()) + " monitor(s))";
            return false;
        }
        if (i > 0 && sorted[i] == sorted[i - 1]) {
            error = "full screen on monitor " + std::to_string(sorted[i]) + " twice";
            return false;
        }
    }
    if (std::find(sorted.begin(), sorted.end(), main) == sorted.end()) {
        error = "the main monitor " + std::to_string(main) + " is not one of the full-screen monitors";
        return false;
    }
    full_screen_ = sorted;
    main_ = main;
    windowed_ = false;
    return true;
}

bool desktop::set_windowed(const rect &os_window, std::string &error)
{
    if (os_window.empty()) {
        error = "the simulator's window has no area";
        return false;
    }
    for (size_t i = 0; i < os_.size(); i++) {
        const rect &m = os_[i];
        if (os_window.left >= m.left && os_window.right <= m.right && os_window.bottom >= m.bottom &&
            os_window.top <= m.top) {
            window_ = os_window;
            main_ = static_cast<int>(i);
            windowed_ = true;
            full_screen_.clear();
            return true;
        }
    }
    error = "the simulator's window lies on no single monitor";
    return false;
}

bool desktop::set_scale(int percent, std::string &error)
{
    if (!desk_config::offered_scale(percent)) {
        error = "a scale of " + std::to_string(percent) + " %; the simulator offers 100, 150 and 200";
        return false;
    }
    percent_ = percent;
    return true;
}

void desktop::set_offset(int x, int y)
{
    offset_x_ = x;
    offset_y_ = y;
}

int desktop::origin_x() const
{
    return windowed_ ? -scaled(window_.left * 100.0 / percent_) : offset_x_;
}

int desktop::origin_y() const
{
    return windowed_ ? -scaled(window_.bottom * 100.0 / percent_) : offset_y_;
}

rect desktop::to_global(const rect &r) const
{
    const double s = 100.0 / percent_;
    return from_corner(scaled(r.left * s) + origin_x(), scaled(r.bottom * s) + origin_y(),
                       scaled(r.width() * s), scaled(r.height() * s));
}

rect desktop::to_os(const rect &r) const
{
    const double s = percent_ / 100.0;
    return from_corner(scaled((static_cast<double>(r.left) - origin_x()) * s),
                       scaled((static_cast<double>(r.bottom) - origin_y()) * s), scaled(r.width() * s),
                       scaled(r.height() * s));
}

int desktop::to_pixels(int boxels) const
{
    return scaled(boxels * (percent_ / 100.0));
}

std::vector<indexed_monitor> desktop::global_monitors() const
{
    std::vector<indexed_monitor> out;
    for (int i : full_screen_)
        out.push_back(indexed_monitor{i, to_global(os_[static_cast<size_t>(i)])});
    return out;
}

bool desktop::global_bounds(int index, rect &out) const
{
    if (std::find(full_screen_.begin(), full_screen_.end(), index) == full_screen_.end())
        return false;
    out = to_global(os_[static_cast<size_t>(index)]);
    return true;
}

rect desktop::main() const
{
    return windowed_ ? to_global(window_) : to_global(os_[static_cast<size_t>(main_)]);
}

int desktop::main_index() const
{
    return main_;
}

rect desktop::bounds() const
{
    if (windowed_)
        return main();
    rect b = main();
    for (const indexed_monitor &m : global_monitors()) {
        b.left = std::min(b.left, m.bounds.left);
        b.bottom = std::min(b.bottom, m.bounds.bottom);
        b.right = std::max(b.right, m.bounds.right);
        b.top = std::max(b.top, m.bounds.top);
    }
    return b;
}

int desktop::monitor_at(int x, int y) const
{
    for (const indexed_monitor &m : global_monitors()) {
        if (m.bounds.contains(x, y))
            return m.index;
    }
    return -1;
}

bool desktop::view_on(size_t os_index, rect &global, rect &pixels) const
{
    if (os_index >= os_.size())
        return false;
    const rect &m = os_[os_index];
    if (windowed_) {
        if (static_cast<int>(os_index) != main_)
            return false;
        global = main();
        pixels = rect{window_.left - m.left, window_.top - m.bottom, window_.right - m.left,
                      window_.bottom - m.bottom};
        return true;
    }
    if (!global_bounds(static_cast<int>(os_index), global))
        return false;
    pixels = rect{0, m.height(), m.width(), 0};
    return true;
}

} // namespace simhost::detail
