#include "plugin_windows.h"

#include <algorithm>
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
    w->os = w->geometry;
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
        if (w->in_os_window() && w->os.contains(x, y))
            popped.push_back(w.get());
    }
    std::sort(popped.begin(), popped.end(), [](const window *a, const window *b) { return a->z > b->z; });
    std::vector<window *> stack = desktop_stack();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if ((*it)->geometry.contains(x, y))
            popped.push_back(*it);
    }
    return popped;
}

bool windows::set_mode(window &w, XPLMWindowPositioningMode mode, int monitor, const desktop &d,
                       bool vr_enabled, std::string &why)
{
    const int index = monitor < 0 ? 0 : monitor;
    const bool needs_monitor = mode == xplm_WindowCenterOnMonitor || mode == xplm_WindowFullScreenOnMonitor;
    if (needs_monitor && static_cast<size_t>(index) >= d.count()) {
        why = "monitor " + std::to_string(monitor) + " does not exist (" + std::to_string(d.count()) +
              " monitor(s))";
        return false;
    }
    switch (mode) {
    case xplm_WindowPositionFree:
        break;
    case xplm_WindowCenterOnMonitor:
        w.geometry =
            centred(d.monitors()[static_cast<size_t>(index)], w.geometry.width(), w.geometry.height());
        break;
    case xplm_WindowFullScreenOnMonitor:
        w.geometry = d.monitors()[static_cast<size_t>(index)];
        break;
    case xplm_WindowFullScreenOnAllMonitors:
        w.geometry = d.bounds();
        break;
    case xplm_WindowPopOut:
        // The operating-system window opens where the window was.
        if (!w.popped_out)
            w.os = w.geometry;
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
    w.popped_out = mode == xplm_WindowPopOut;
    w.in_vr = mode == xplm_WindowVR;
    w.mode = mode;
    w.mode_monitor = needs_monitor ? index : -1;
    return true;
}

void windows::set_geometry(window &w, const rect &r)
{
    if (w.popped_out) {
        w.os = r;
        return;
    }
    w.geometry = r;
    if (w.mode == xplm_WindowFullScreenOnMonitor || w.mode == xplm_WindowFullScreenOnAllMonitors) {
        w.mode = xplm_WindowPositionFree;
        w.mode_monitor = -1;
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

} // namespace simhost::detail
