#include "windows/monitors.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "XPLMDisplay.h"
#include "windows/boxel_math.h"
#include "windows/popup_move.h"

#include <acfutils/log.h>

namespace {

struct monitor_search {
    int32_t index;
    bool found;
};

void monitor_search_cb(int index, int left, int top, int right, int bottom, void *ref)
{
    auto *search = static_cast<monitor_search *>(ref);
    logMsg("Monitor %d: [L: %d T: %d], [R: %d B: %d]", index, left, top, right, bottom);
    if (index == search->index)
        search->found = true;
}

struct monitor_point {
    int32_t x;
    int32_t y;
    int32_t index;
};

void monitor_point_cb(int index, int left, int top, int right, int bottom, void *ref)
{
    auto *point = static_cast<monitor_point *>(ref);
    logMsg("Monitor %d: [L: %d T: %d], [R: %d B: %d]", index, left, top, right, bottom);
    if (left < point->x && point->x < right && bottom < point->y && point->y < top)
        point->index = index;
}

// The widths, in boxels, of the screens the displays are made for.
bool display_monitor_width(int64_t width)
{
    return width == 1024 || width == 800 || width == 683;
}

void monitor_pick_cb(int index, int left, int top, int right, int bottom, void *ref)
{
    auto *pick = static_cast<monitor_pick *>(ref);
    logMsg("KYV Monitor %d: [L: %d T: %d], [R: %d B: %d]", index, left, top, right, bottom);
    if (!display_monitor_width(static_cast<int64_t>(right) - left))
        return;
    if (pick->pfd == -1) {
        logMsg("KYV: Found Monitor %d for PFD", index);
        pick->pfd = index;
    } else {
        logMsg("KYV: Found Monitor %d for MFD", index);
        pick->mfd = index;
    }
}

// A rectangle in 64 bits, so that no saved value can overflow its edges.
struct rect_search {
    int64_t left, top, right, bottom;
    bool overlaps;
};

void rect_overlap_cb(int, int left, int top, int right, int bottom, void *ref)
{
    auto *search = static_cast<rect_search *>(ref);
    if (search->left < right && left < search->right && search->bottom < top && bottom < search->top)
        search->overlaps = true;
}

// The full-screen monitor a rectangle overlaps most, in 64 bits.
struct overlap_search {
    int64_t left, top, right, bottom;
    int64_t best_area;
    int index;
    int64_t m_left, m_top, m_right, m_bottom;
};

void overlap_cb(int index, int left, int top, int right, int bottom, void *ref)
{
    auto *search = static_cast<overlap_search *>(ref);
    const int64_t w = std::min<int64_t>(search->right, right) - std::max<int64_t>(search->left, left);
    const int64_t h = std::min<int64_t>(search->top, top) - std::max<int64_t>(search->bottom, bottom);
    if (w <= 0 || h <= 0 || w * h <= search->best_area)
        return;
    *search = overlap_search{search->left, search->top, search->right, search->bottom, w * h,
                             index,        left,        top,           right,          bottom};
}

struct index_search {
    int index;
    bool found;
    int64_t left, top, right, bottom;
};

void os_index_cb(int index, int left, int top, int right, int bottom, void *ref)
{
    auto *search = static_cast<index_search *>(ref);
    if (index == search->index)
        *search = index_search{index, true, left, top, right, bottom};
}

// A coordinate along one axis from one monitor's span to another's.
int rescale(int v, int64_t from_lo, int64_t from_hi, int64_t to_lo, int64_t to_hi)
{
    const double f = static_cast<double>(to_hi - to_lo) / static_cast<double>(from_hi - from_lo);
    return saturate(to_lo + std::llround((static_cast<double>(v) - static_cast<double>(from_lo)) * f));
}

void os_monitor_log_cb(int index, int left, int top, int right, int bottom, void *)
{
    logMsg("OS Monitor %d: [L: %d T: %d], [R: %d B: %d]", index, left, top, right, bottom);
}

} // namespace

bool monitor_present(int index)
{
    monitor_search search{index, false};
    XPLMGetAllMonitorBoundsGlobal(monitor_search_cb, &search);
    return search.found;
}

int monitor_at(int x, int y)
{
    monitor_point point{x, y, -1};
    XPLMGetAllMonitorBoundsGlobal(monitor_point_cb, &point);
    return point.index;
}

monitor_pick pick_display_monitors()
{
    monitor_pick pick{-1, -1};
    XPLMGetAllMonitorBoundsGlobal(monitor_pick_cb, &pick);
    return pick;
}

const char *popout_rect_problem(int x, int y, int w, int h)
{
    if (w < min_window_width)
        return "narrower than the smallest window";
    if (h <= 0)
        return "no height";
    rect_search search{x, int64_t{y} + h, int64_t{x} + w, y, false};
    if (search.right > INT_MAX || search.top > INT_MAX)
        return "beyond the screen coordinates";
    XPLMGetAllMonitorBoundsOS(rect_overlap_cb, &search);
    if (search.overlaps)
        return nullptr;
    XPLMGetAllMonitorBoundsOS(os_monitor_log_cb, nullptr);
    return "on no monitor";
}

const char *global_rect_to_os(int &left, int &top, int &right, int &bottom)
{
    overlap_search on{left, top, right, bottom, 0, -1, 0, 0, 0, 0};
    XPLMGetAllMonitorBoundsGlobal(overlap_cb, &on);
    if (on.index < 0)
        return "on no monitor the simulator runs full screen on";
    index_search os{on.index, false, 0, 0, 0, 0};
    XPLMGetAllMonitorBoundsOS(os_index_cb, &os);
    if (!os.found)
        return "its monitor has no operating-system bounds";
    const int l = rescale(left, on.m_left, on.m_right, os.left, os.right);
    const int r = rescale(right, on.m_left, on.m_right, os.left, os.right);
    const int b = rescale(bottom, on.m_bottom, on.m_top, os.bottom, os.top);
    const int t = rescale(top, on.m_bottom, on.m_top, os.bottom, os.top);
    left = l;
    right = r;
    bottom = b;
    top = t;
    return nullptr;
}
