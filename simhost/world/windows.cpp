#include "world/windows.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace simhost::detail {

namespace {

// The oldest layout the host accepts ends with the refcon; the decoration,
// layer and right-click members came later.
const int oldest_struct_size = static_cast<int>(offsetof(XPLMCreateWindow_t, decorateAsFloatingWindow));

rect centred(const rect &area, int width, int height)
{
    const int left = area.left + (area.width() - width) / 2;
    const int bottom = area.bottom + (area.height() - height) / 2;
    return rect{left, bottom + height, left + width, bottom};
}

} // namespace

window *windows::create(const XPLMCreateWindow_t *params)
{
    if (params == nullptr || params->structSize < oldest_struct_size ||
        params->structSize > static_cast<int>(sizeof(XPLMCreateWindow_t)))
        return nullptr;
    auto w = std::make_unique<window>();
    w->params.decorateAsFloatingWindow = xplm_WindowDecorationRoundRectangle;
    w->params.layer = xplm_WindowLayerFloatingWindows;
    memcpy(&w->params, params, static_cast<size_t>(params->structSize));
    if (w->params.layer < xplm_WindowLayerFlightOverlay ||
        w->params.layer > xplm_WindowLayerGrowlNotifications)
        w->params.layer = xplm_WindowLayerFloatingWindows;
    w->number = static_cast<int>(all_.size()) + 1;
    w->geometry = rect{params->left, params->top, params->right, params->bottom};
    w->os = desk_.to_os(w->geometry);
    w->visible = params->visible != 0;
    w->z = ++next_z_;
    all_.push_back(std::move(w));
    return all_.back().get();
}

window *windows::get(XPLMWindowID id) const
{
    if (id == nullptr)
        return nullptr;
    for (const auto &w : all_) {
        if (w.get() == id)
            return w->live ? w.get() : nullptr;
    }
    return nullptr;
}

bool windows::destroy(XPLMWindowID id)
{
    window *w = get(id);
    if (w == nullptr)
        return false;
    w->live = false;
    w->visible = false;
    return true;
}

void windows::raise(window &w)
{
    w.z = ++next_z_;
}

std::vector<window *> windows::all() const
{
    std::vector<window *> out;
    for (const auto &w : all_) {
        if (w->live)
            out.push_back(w.get());
    }
    return out;
}

window *windows::numbered(int number) const
{
    for (window *w : all()) {
        if (w->number == number)
            return w;
    }
    return nullptr;
}

std::vector<window *> windows::desktop_stack() const
{
    std::vector<window *> out;
    for (const auto &w : all_) {
        if (w->on_desktop())
            out.push_back(w.get());
    }
    std::stable_sort(out.begin(), out.end(), [](const window *a, const window *b) {
        return a->params.layer != b->params.layer ? a->params.layer < b->params.layer : a->z < b->z;
    });
    return out;
}

std::vector<window *> windows::at(int x, int y) const
{
    std::vector<window *> popped;
    for (const auto &w : all_) {
        if (w->in_os_window() && os_in_global(*w).contains(x, y))
            popped.push_back(w.get());
    }
    std::sort(popped.begin(), popped.end(), [](const window *a, const window *b) { return a->z > b->z; });
    std::vector<window *> stack = desktop_stack();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (part_at(**it, x, y) != window_part::none)
            popped.push_back(*it);
    }
    return popped;
}

window_part windows::part_at(const window &w, int x, int y) const
{
    if (w.popped_out)
        return os_in_global(w).contains(x, y) ? window_part::content : window_part::none;
    if (w.geometry.contains(x, y))
        return window_part::content;
    const window_decoration d = decoration_of(w);
    if (d.close_box.contains(x, y))
        return window_part::close_box;
    return d.title_bar.contains(x, y) ? window_part::title_bar : window_part::none;
}

void windows::frame_passed()
{
    for (auto &w : all_) {
        if (w->os_wait > 0)
            w->os_wait--;
    }
}

rect windows::reported(const window &w) const
{
    if (!w.popped_out || popped_ == popped_geometry::last_floating)
        return w.geometry;
    return os_in_global(w);
}

void windows::handler_point(const window &w, int &x, int &y) const
{
    if (!w.popped_out || popped_ == popped_geometry::os_in_boxels)
        return;
    // The window draws in its last geometry, stretched over its own window:
    // the mouse is mapped the same way.
    const rect from = os_in_global(w), to = w.geometry;
    if (from.empty())
        return;
    x = to.left +
        static_cast<int>(std::lround(static_cast<double>(x - from.left) * to.width() / from.width()));
    y = to.bottom +
        static_cast<int>(std::lround(static_cast<double>(y - from.bottom) * to.height() / from.height()));
}

rect windows::monitor_area(int monitor, int &index, std::string &note) const
{
    rect area;
    if (monitor >= 0 && desk_.global_bounds(monitor, area)) {
        index = monitor;
        return area;
    }
    if (monitor >= 0)
        note = "monitor " + std::to_string(monitor) +
               " is not one the simulator runs full screen on; its main one taken instead";
    index = desk_.main_index();
    return desk_.main();
}

void windows::apply_mode(window &w, std::string &note)
{
    switch (w.mode) {
    case xplm_WindowCenterOnMonitor: {
        const rect area = monitor_area(w.mode_monitor, w.mode_monitor, note);
        w.geometry = centred(area, w.geometry.width(), w.geometry.height());
        break;
    }
    case xplm_WindowFullScreenOnMonitor:
        w.geometry = monitor_area(w.mode_monitor, w.mode_monitor, note);
        break;
    case xplm_WindowFullScreenOnAllMonitors:
        w.geometry = desk_.bounds();
        break;
    default:
        break;
    }
}

bool windows::set_mode(window &w, XPLMWindowPositioningMode mode, int monitor, bool vr_enabled,
                       std::string &why, std::string &note)
{
    switch (mode) {
    case xplm_WindowPositionFree:
    case xplm_WindowCenterOnMonitor:
    case xplm_WindowFullScreenOnMonitor:
    case xplm_WindowFullScreenOnAllMonitors:
        break;
    case xplm_WindowPopOut:
        // The operating-system window opens where the window was.
        if (!w.popped_out) {
            w.os = desk_.to_os(w.geometry);
            w.os_wait = popout_delay_ ? 1 : 0;
        }
        break;
    case xplm_WindowVR:
        if (!vr_enabled) {
            why = "VR mode asked for while VR is not enabled";
            return false;
        }
        break;
    default:
        why = "unknown positioning mode " + std::to_string(mode);
        return false;
    }
    const bool needs_monitor = mode == xplm_WindowCenterOnMonitor || mode == xplm_WindowFullScreenOnMonitor;
    w.popped_out = mode == xplm_WindowPopOut;
    w.in_vr = mode == xplm_WindowVR;
    w.mode = mode;
    w.mode_monitor = needs_monitor ? monitor : -1;
    apply_mode(w, note);
    return true;
}

bool windows::set_geometry(window &w, const rect &r)
{
    if (w.popped_out)
        return false;
    switch (w.mode) {
    case xplm_WindowFullScreenOnMonitor:
    case xplm_WindowFullScreenOnAllMonitors:
        break;
    case xplm_WindowCenterOnMonitor: {
        std::string ignored;
        w.geometry = centred(monitor_area(w.mode_monitor, w.mode_monitor, ignored), r.width(), r.height());
        break;
    }
    default:
        w.geometry = r;
        break;
    }
    return true;
}

bool windows::set_os_geometry(window &w, const rect &r)
{
    if (!w.popped_out)
        return false;
    w.os = r;
    return true;
}

void windows::follow_desk()
{
    std::string ignored;
    rect area;
    for (auto &w : all_) {
        // A window whose monitor went away stays where it was until placed again.
        const bool on_monitor =
            w->mode == xplm_WindowCenterOnMonitor || w->mode == xplm_WindowFullScreenOnMonitor;
        if (w->live && (!on_monitor || desk_.global_bounds(w->mode_monitor, area)))
            apply_mode(*w, ignored);
    }
}

size_t windows::destroy_all()
{
    size_t n = 0;
    for (auto &w : all_) {
        if (w->live) {
            n++;
            w->live = false;
            w->visible = false;
        }
    }
    return n;
}

void windows::show(window &w, bool on)
{
    if (on && !w.visible)
        raise(w);
    w.visible = on;
}

bool windows::set_resizing_limits(window &w, int min_width, int min_height, int max_width, int max_height)
{
    if (min_width < 0 || min_height < 0 || max_width < min_width || max_height < min_height)
        return false;
    w.min_width = min_width;
    w.min_height = min_height;
    w.max_width = max_width;
    w.max_height = max_height;
    return true;
}

window *windows::shown_os_window(int number, std::string &error) const
{
    window *w = numbered(number);
    if (w == nullptr)
        error = "no window " + std::to_string(number);
    else if (!w->in_os_window())
        error = "window " + std::to_string(number) + " is not a shown, popped-out window";
    return w != nullptr && w->in_os_window() ? w : nullptr;
}

bool windows::user_close(int number, std::string &error)
{
    window *w = shown_os_window(number, error);
    if (w == nullptr)
        return false;
    // The plugin finds out from its visibility.
    w->visible = false;
    return true;
}

bool windows::user_move(int number, int left, int bottom, std::string &error)
{
    window *w = shown_os_window(number, error);
    if (w == nullptr)
        return false;
    w->os = rect{left, bottom + w->os.height(), left + w->os.width(), bottom};
    return true;
}

void windows::user_drag(window &w, long long dx, long long dy)
{
    if (w.mode != xplm_WindowPositionFree || w.popped_out)
        return;
    const rect &g = w.geometry;
    // A drag that would carry an edge out of the coordinates stops short of it.
    auto fits = [](long long v) { return v >= INT_MIN && v <= INT_MAX; };
    if (!fits(g.left + dx) || !fits(g.right + dx) || !fits(g.top + dy) || !fits(g.bottom + dy))
        return;
    w.geometry = rect{static_cast<int>(g.left + dx), static_cast<int>(g.top + dy),
                      static_cast<int>(g.right + dx), static_cast<int>(g.bottom + dy)};
}

bool windows::user_resize(int number, int width, int height, std::string &error)
{
    window *w = shown_os_window(number, error);
    if (w == nullptr)
        return false;
    // The limits are boxels; the operating system resizes in pixels.
    auto limit = [&](int v, int lo, int hi) {
        const int min_px = desk_.to_pixels(lo);
        const int max_px = hi > 0 ? desk_.to_pixels(hi) : INT_MAX;
        return std::max(std::min(v, max_px), std::max(min_px, 1));
    };
    width = limit(width, w->min_width, w->max_width);
    height = limit(height, w->min_height, w->max_height);
    w->os = rect{w->os.left, w->os.top, w->os.left + width, w->os.top - height};
    return true;
}

} // namespace simhost::detail
