// Windows and monitors: creation, geometry in global boxels, the positioning
// modes and what they do to geometry, and the monitor layout.

#include "XPLMDisplay.h"
#include "host.h"
#include "host_test_support.h"

#include <gmock/gmock.h>

#include <vector>

using simhost::rect;
using ::testing::ElementsAre;

namespace {

// The desk of the demo: a main monitor and two small ones to its right.
const std::vector<simhost::monitor_bounds> desk = {
    {0, 1080, 1920, 0}, {1920, 768, 2944, 0}, {2944, 768, 3968, 0}};

rect geometry(XPLMWindowID w)
{
    rect r;
    XPLMGetWindowGeometry(w, &r.left, &r.top, &r.right, &r.bottom);
    return r;
}

rect os_geometry(XPLMWindowID w)
{
    rect r;
    XPLMGetWindowGeometryOS(w, &r.left, &r.top, &r.right, &r.bottom);
    return r;
}

class windows : public ::testing::Test {
protected:
    simhost::host h;
    XPLMWindowID win = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(h.set_monitors(desk)) << h.error();
        XPLMCreateWindow_t p = host_test::window_params({100, 868, 1124, 100}, 0);
        win = XPLMCreateWindowEx(&p);
        ASSERT_NE(win, nullptr);
    }

    simhost::host::window_info info() const { return h.windows().front(); }
};

void record_monitor(int index, int left, int top, int right, int bottom, void *refcon)
{
    static_cast<std::vector<std::vector<int>> *>(refcon)->push_back({index, left, top, right, bottom});
}

TEST_F(windows, the_monitors_are_enumerated_in_order_and_the_screen_follows_them)
{
    std::vector<std::vector<int>> seen;
    XPLMGetAllMonitorBoundsGlobal(record_monitor, &seen);
    EXPECT_THAT(seen, ElementsAre(ElementsAre(0, 0, 1080, 1920, 0), ElementsAre(1, 1920, 768, 2944, 0),
                                  ElementsAre(2, 2944, 768, 3968, 0)));
    std::vector<std::vector<int>> seen_os;
    XPLMGetAllMonitorBoundsOS(record_monitor, &seen_os);
    EXPECT_EQ(seen_os, seen) << "one boxel is one pixel: the system's bounds are the same";
    int w = 0, hgt = 0;
    XPLMGetScreenSize(&w, &hgt);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(hgt, 1080);
    rect b;
    XPLMGetScreenBoundsGlobal(&b.left, &b.top, &b.right, &b.bottom);
    EXPECT_EQ(b, (rect{0, 1080, 3968, 0}));
}

TEST(monitor_layout, overlapping_or_empty_monitors_are_refused_and_the_layout_kept)
{
    simhost::host h;
    EXPECT_FALSE(h.set_monitors({{0, 100, 100, 0}, {50, 100, 150, 0}}));
    EXPECT_EQ(h.error(), "monitor 1 (50, 0, 100 x 100) overlaps monitor 0 (0, 0, 100 x 100)");
    EXPECT_FALSE(h.set_monitors({{0, 0, 100, 0}}));
    EXPECT_FALSE(h.set_monitors({}));
    EXPECT_EQ(h.monitors().size(), 1u);
    EXPECT_EQ(h.screen_width(), 1920);
    // Monitors may touch, and may lie left of or below the main one.
    EXPECT_TRUE(h.set_monitors({{0, 100, 100, 0}, {-100, 100, 0, 0}, {0, 0, 100, -50}})) << h.error();
}

TEST_F(windows, a_new_window_keeps_what_it_was_created_with)
{
    simhost::host::window_info i = info();
    EXPECT_EQ(i.geometry, (rect{100, 868, 1124, 100}));
    EXPECT_FALSE(i.visible);
    EXPECT_EQ(i.layer, xplm_WindowLayerFloatingWindows);
    EXPECT_EQ(i.decoration, xplm_WindowDecorationNone);
    EXPECT_EQ(i.struct_size, static_cast<int>(sizeof(XPLMCreateWindow_t)));
    EXPECT_FALSE(i.callbacks.draw || i.callbacks.click || i.callbacks.wheel);
    EXPECT_EQ(geometry(win), (rect{100, 868, 1124, 100}));
    XPLMSetWindowTitle(win, "A title");
    XPLMSetWindowResizingLimits(win, 256, 0, 4096, 4096);
    XPLMSetWindowIsVisible(win, 1);
    i = info();
    EXPECT_EQ(i.title, "A title");
    EXPECT_EQ(i.min_width, 256);
    EXPECT_EQ(i.max_height, 4096);
    EXPECT_EQ(XPLMGetWindowIsVisible(win), 1);
    EXPECT_THAT(i.on_monitors, ElementsAre(0));
    XPLMSetWindowGeometry(win, 0, 10, 10, 0);
    EXPECT_EQ(info().created, (rect{100, 868, 1124, 100})) << "the creation rectangle stays on record";
    EXPECT_TRUE(h.unexpected_calls().empty());
}

TEST_F(windows, closing_a_popped_out_window_by_its_os_close_box_hides_it_and_nothing_else_can_be_closed)
{
    const int n = info().number;
    XPLMSetWindowIsVisible(win, 1);
    EXPECT_FALSE(h.close_os_window(n)) << "a window inside the simulator has no OS close box";
    XPLMSetWindowPositioningMode(win, xplm_WindowPopOut, 0);
    EXPECT_TRUE(h.close_os_window(n)) << h.error();
    EXPECT_EQ(XPLMGetWindowIsVisible(win), 0);
    EXPECT_FALSE(h.close_os_window(n)) << "hidden already";
    EXPECT_FALSE(h.close_os_window(n + 1));
}

TEST_F(windows, an_older_smaller_structure_gets_the_defaults_and_a_size_that_fits_no_layout_is_refused)
{
    XPLMCreateWindow_t p = host_test::window_params({0, 10, 10, 0});
    p.structSize = static_cast<int>(offsetof(XPLMCreateWindow_t, decorateAsFloatingWindow));
    p.layer = xplm_WindowLayerModal; // beyond the declared size: must not be read
    ASSERT_NE(XPLMCreateWindowEx(&p), nullptr);
    EXPECT_EQ(h.windows().back().layer, xplm_WindowLayerFloatingWindows);

    for (int size : {0, 12, static_cast<int>(sizeof(p)) + 8}) {
        p.structSize = size;
        EXPECT_EQ(XPLMCreateWindowEx(&p), nullptr) << size;
    }
    EXPECT_EQ(XPLMCreateWindowEx(nullptr), nullptr);
    EXPECT_EQ(h.unexpected_call_count("XPLMCreateWindowEx"), 4u);
}

struct mode_case {
    const char *name;
    int mode;
    int monitor;
    rect geometry; // what XPLMGetWindowGeometry reports afterwards
    bool popped_out;
};

class window_modes : public windows, public ::testing::WithParamInterface<mode_case> {};

TEST_P(window_modes, set_the_geometry_the_mode_stands_for)
{
    const mode_case &c = GetParam();
    XPLMSetWindowPositioningMode(win, c.mode, c.monitor);
    EXPECT_EQ(geometry(win), c.geometry);
    EXPECT_EQ(XPLMWindowIsPoppedOut(win), c.popped_out ? 1 : 0);
    EXPECT_EQ(XPLMWindowIsInVR(win), 0);
    EXPECT_EQ(info().mode, c.mode);
    EXPECT_TRUE(h.unexpected_calls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    modes, window_modes,
    ::testing::Values(
        mode_case{"free", xplm_WindowPositionFree, 0, {100, 868, 1124, 100}, false},
        mode_case{"centre_on_monitor_2", xplm_WindowCenterOnMonitor, 2, {2944, 768, 3968, 0}, false},
        mode_case{"centre_on_the_main_monitor", xplm_WindowCenterOnMonitor, -1, {448, 924, 1472, 156}, false},
        mode_case{"full_screen_on_monitor_1", xplm_WindowFullScreenOnMonitor, 1, {1920, 768, 2944, 0}, false},
        mode_case{
            "full_screen_on_the_main_monitor", xplm_WindowFullScreenOnMonitor, -1, {0, 1080, 1920, 0}, false},
        mode_case{"full_screen_on_all", xplm_WindowFullScreenOnAllMonitors, 0, {0, 1080, 3968, 0}, false},
        mode_case{"popped_out_where_it_was", xplm_WindowPopOut, 0, {100, 868, 1124, 100}, true}),
    [](const ::testing::TestParamInfo<mode_case> &info) { return std::string(info.param.name); });

TEST_F(windows, a_popped_out_window_is_placed_in_os_pixels_and_comes_back_where_it_was_inside)
{
    XPLMSetWindowPositioningMode(win, xplm_WindowPopOut, 0);
    XPLMSetWindowGeometryOS(win, 3000, 500, 3512, 116);
    EXPECT_EQ(os_geometry(win), (rect{3000, 500, 3512, 116}));
    EXPECT_EQ(geometry(win), (rect{3000, 500, 3512, 116})) << "a popped-out window reports its OS rectangle";
    EXPECT_EQ(info().geometry, (rect{100, 868, 1124, 100}));

    XPLMSetWindowPositioningMode(win, xplm_WindowPositionFree, 0);
    EXPECT_EQ(XPLMWindowIsPoppedOut(win), 0);
    EXPECT_EQ(geometry(win), (rect{100, 868, 1124, 100}));
    EXPECT_TRUE(h.unexpected_calls().empty());

    // OS geometry means nothing to a window inside the simulator.
    XPLMSetWindowGeometryOS(win, 0, 10, 10, 0);
    EXPECT_EQ(geometry(win), (rect{100, 868, 1124, 100}));
    EXPECT_THAT(h.unexpected_calls(), ElementsAre("XPLMSetWindowGeometryOS"));
}

TEST_F(windows, setting_the_geometry_of_a_full_screen_window_frees_it)
{
    XPLMSetWindowPositioningMode(win, xplm_WindowFullScreenOnMonitor, 1);
    XPLMSetWindowGeometry(win, 10, 60, 110, 10);
    EXPECT_EQ(geometry(win), (rect{10, 60, 110, 10}));
    EXPECT_EQ(info().mode, xplm_WindowPositionFree);
}

TEST_F(windows, vr_mode_needs_a_headset_and_modes_that_cannot_apply_change_nothing)
{
    XPLMSetWindowPositioningMode(win, xplm_WindowVR, -1);
    XPLMSetWindowPositioningMode(win, xplm_WindowFullScreenOnMonitor, 3);
    XPLMSetWindowPositioningMode(win, 42, 0);
    EXPECT_EQ(XPLMWindowIsInVR(win), 0);
    EXPECT_EQ(geometry(win), (rect{100, 868, 1124, 100}));
    EXPECT_EQ(h.unexpected_call_count("XPLMSetWindowPositioningMode"), 3u);

    h.set_int_dataref("sim/graphics/VR/enabled", 1);
    XPLMSetWindowPositioningMode(win, xplm_WindowVR, -1);
    EXPECT_EQ(XPLMWindowIsInVR(win), 1);
    EXPECT_EQ(XPLMWindowIsPoppedOut(win), 0);
}

TEST_F(windows, a_destroyed_window_is_recognised_and_calls_on_it_are_noted_not_followed)
{
    XPLMDestroyWindow(win);
    EXPECT_TRUE(h.windows().empty());
    EXPECT_EQ(XPLMGetWindowIsVisible(win), 0);
    XPLMSetWindowGeometry(win, 0, 10, 10, 0);
    XPLMDestroyWindow(win);
    EXPECT_EQ(geometry(win), rect{});
    EXPECT_THAT(h.unexpected_calls(), ElementsAre("XPLMGetWindowIsVisible", "XPLMSetWindowGeometry",
                                                  "XPLMDestroyWindow", "XPLMGetWindowGeometry"));
}

TEST_F(windows, an_empty_rectangle_or_limits_out_of_order_are_refused)
{
    XPLMSetWindowGeometry(win, 100, 100, 50, 200);
    XPLMSetWindowResizingLimits(win, 300, 0, 200, 100);
    EXPECT_EQ(geometry(win), (rect{100, 868, 1124, 100}));
    EXPECT_EQ(info().max_width, 0);
    EXPECT_THAT(h.unexpected_calls(), ElementsAre("XPLMSetWindowGeometry", "XPLMSetWindowResizingLimits"));
}

} // namespace
