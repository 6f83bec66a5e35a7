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

struct desk_case {
    const char *name;
    std::vector<rect> os; // pixels
    int scale;
    std::vector<int> full_screen; // empty: all, or windowed when `window` is not empty
    int main;
    rect window;
    int offset_x, offset_y;
    std::vector<std::vector<int>> global; // what XPLMGetAllMonitorBoundsGlobal reports
    rect screen;                          // XPLMGetScreenBoundsGlobal
    int screen_width, screen_height;
};

class desks : public ::testing::TestWithParam<desk_case> {};

TEST_P(desks, list_the_full_screen_monitors_in_boxels_and_every_monitor_in_pixels)
{
    const desk_case &c = GetParam();
    simhost::host h;
    ASSERT_TRUE(h.set_monitors(c.os)) << h.error();
    ASSERT_TRUE(h.set_ui_scale(c.scale)) << h.error();
    h.set_desktop_offset(c.offset_x, c.offset_y);
    if (!c.full_screen.empty()) {
        ASSERT_TRUE(h.set_full_screen(c.full_screen, c.main)) << h.error();
    }
    if (!c.window.empty()) {
        ASSERT_TRUE(h.set_windowed(c.window)) << h.error();
    }

    std::vector<std::vector<int>> seen, seen_os, want_os;
    XPLMGetAllMonitorBoundsGlobal(record_monitor, &seen);
    EXPECT_EQ(seen, c.global);
    XPLMGetAllMonitorBoundsOS(record_monitor, &seen_os);
    for (size_t i = 0; i < c.os.size(); i++)
        want_os.push_back({static_cast<int>(i), c.os[i].left, c.os[i].top, c.os[i].right, c.os[i].bottom});
    EXPECT_EQ(seen_os, want_os) << "every monitor, in pixels";
    int w = 0, hgt = 0;
    XPLMGetScreenSize(&w, &hgt);
    EXPECT_EQ(w, c.screen_width);
    EXPECT_EQ(hgt, c.screen_height);
    rect b;
    XPLMGetScreenBoundsGlobal(&b.left, &b.top, &b.right, &b.bottom);
    EXPECT_EQ(b, c.screen);

    // Full screen on the main monitor fills the simulator's main screen.
    XPLMCreateWindow_t p = host_test::window_params({0, 10, 10, 0}, 0);
    XPLMWindowID win = XPLMCreateWindowEx(&p);
    XPLMSetWindowPositioningMode(win, xplm_WindowFullScreenOnMonitor, -1);
    EXPECT_EQ(geometry(win).width(), c.screen_width);
    EXPECT_EQ(geometry(win).height(), c.screen_height);
    EXPECT_TRUE(h.unexpected_calls().empty());
}

// The operating system's monitors of a real three-monitor desk.
const std::vector<rect> real_desk = {{0, 1440, 2560, 0}, {2560, 1840, 3760, -80}, {-1280, 1368, 0, 344}};

INSTANTIATE_TEST_SUITE_P(
    layouts, desks,
    ::testing::Values(desk_case{"one_boxel_a_pixel_on_every_monitor",
                                desk,
                                100,
                                {},
                                0,
                                {},
                                0,
                                0,
                                {{0, 0, 1080, 1920, 0}, {1, 1920, 768, 2944, 0}, {2, 2944, 768, 3968, 0}},
                                {0, 1080, 3968, 0},
                                1920,
                                1080},
                      desk_case{"full_screen_on_two_of_three_at_150_percent_offset",
                                real_desk,
                                150,
                                {1, 2},
                                2,
                                {},
                                100,
                                50,
                                {{1, 1807, 1277, 2607, -3}, {2, -753, 962, 100, 279}},
                                {-753, 1277, 2607, -3},
                                853,
                                683},
                      desk_case{"windowed_at_200_percent",
                                desk,
                                200,
                                {},
                                0,
                                {100, 900, 1700, 100},
                                0,
                                0,
                                {},
                                {0, 400, 800, 0},
                                800,
                                400}),
    [](const ::testing::TestParamInfo<desk_case> &info) { return std::string(info.param.name); });

TEST(monitor_layout, overlapping_or_empty_monitors_are_refused_and_the_layout_kept)
{
    simhost::host h;
    EXPECT_FALSE(h.set_monitors({{0, 100, 100, 0}, {50, 100, 150, 0}}));
    EXPECT_EQ(h.error(), "monitor 1 (50, 0, 100 x 100) overlaps monitor 0 (0, 0, 100 x 100)");
    EXPECT_FALSE(h.set_monitors({{0, 0, 100, 0}}));
    EXPECT_FALSE(h.set_monitors({}));
    EXPECT_FALSE(h.set_monitors({{10, 100, 110, 0}})) << "the main monitor lies at the origin";
    EXPECT_FALSE(h.set_full_screen({1}, 1)) << "no monitor 1";
    EXPECT_FALSE(h.set_windowed({1900, 100, 2000, 0})) << "off the monitor";
    EXPECT_FALSE(h.set_ui_scale(125));
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
    h.run_frames(1); // its OS window appears
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

class popped_geometry : public windows, public ::testing::WithParamInterface<bool> {};

TEST_P(popped_geometry, a_popped_out_window_lives_in_os_pixels_and_comes_back_where_it_was_inside)
{
    const bool last_floating = GetParam();
    h.set_popped_geometry_is_last_floating(last_floating);
    ASSERT_TRUE(h.set_ui_scale(150));
    h.set_desktop_offset(10, 20);
    XPLMSetWindowPositioningMode(win, xplm_WindowPopOut, 0);
    EXPECT_EQ(os_geometry(win), (rect{135, 1272, 1671, 120})) << "its OS window opens where it was";
    XPLMSetWindowGeometryOS(win, 3000, 500, 3512, 116);
    EXPECT_EQ(os_geometry(win), (rect{3000, 500, 3512, 116}));
    EXPECT_EQ(geometry(win), (last_floating ? rect{100, 868, 1124, 100} : rect{2010, 353, 2351, 97}));
    EXPECT_EQ(info().os_in_global, (rect{2010, 353, 2351, 97}));
    EXPECT_TRUE(h.unexpected_calls().empty());

    // Only the OS calls place it now; it comes back where it was inside.
    XPLMSetWindowGeometry(win, 0, 10, 10, 0);
    XPLMSetWindowPositioningMode(win, xplm_WindowPositionFree, 0);
    EXPECT_EQ(XPLMWindowIsPoppedOut(win), 0);
    EXPECT_EQ(geometry(win), (rect{100, 868, 1124, 100}));
    XPLMSetWindowGeometryOS(win, 0, 10, 10, 0);
    EXPECT_EQ(os_geometry(win), rect{});
    EXPECT_THAT(h.unexpected_calls(),
                ElementsAre("XPLMSetWindowGeometry", "XPLMSetWindowGeometryOS", "XPLMGetWindowGeometryOS"));
}

INSTANTIATE_TEST_SUITE_P(reported, popped_geometry, ::testing::Bool(),
                         [](const auto &info) { return info.param ? "last_floating" : "os_in_boxels"; });

TEST_F(windows, a_new_os_window_appears_a_frame_late_and_takes_the_geometry_set_before)
{
    XPLMSetWindowIsVisible(win, 1);
    XPLMSetWindowPositioningMode(win, xplm_WindowPopOut, 0);
    XPLMSetWindowGeometryOS(win, 2000, 700, 2400, 400);
    EXPECT_EQ(XPLMWindowIsPoppedOut(win), 1);
    EXPECT_FALSE(h.close_os_window(info().number)) << "not there yet";
    h.run_frames(1);
    EXPECT_EQ(info().os, (rect{2000, 700, 2400, 400}));
    EXPECT_TRUE(h.close_os_window(info().number)) << h.error();

    h.set_popout_delay(false);
    XPLMSetWindowIsVisible(win, 1);
    XPLMSetWindowPositioningMode(win, xplm_WindowPositionFree, 0);
    XPLMSetWindowPositioningMode(win, xplm_WindowPopOut, 0);
    EXPECT_TRUE(h.close_os_window(info().number)) << "at once, without the delay";
}

TEST_F(windows, the_pilot_moves_and_resizes_an_os_window_in_pixels_within_its_limits)
{
    ASSERT_TRUE(h.set_ui_scale(150));
    XPLMSetWindowResizingLimits(win, 256, 0, 1000, 4096);
    XPLMSetWindowIsVisible(win, 1);
    EXPECT_FALSE(h.os_move(info().number, 0, 0)) << "inside the simulator";
    XPLMSetWindowPositioningMode(win, xplm_WindowPopOut, 0);
    h.run_frames(1);
    ASSERT_TRUE(h.os_move(info().number, -500, 40));
    EXPECT_EQ(info().os, (rect{-500, 1192, 1036, 40}));
    ASSERT_TRUE(h.os_resize(info().number, 100, 5000));
    EXPECT_EQ(info().os, (rect{-500, 1192, -116, 1192 - 5000})) << "256 boxels are 384 pixels";
    ASSERT_TRUE(h.os_resize(info().number, 9000, 30));
    EXPECT_EQ(info().os, (rect{-500, 1192, 1000, 1162}));
}

TEST_F(windows, a_centred_or_full_screen_window_keeps_its_mode_and_follows_its_monitor)
{
    XPLMSetWindowPositioningMode(win, xplm_WindowFullScreenOnMonitor, 1);
    XPLMSetWindowGeometry(win, 10, 60, 110, 10);
    EXPECT_EQ(geometry(win), (rect{1920, 768, 2944, 0}));
    EXPECT_EQ(info().mode, xplm_WindowFullScreenOnMonitor);
    ASSERT_TRUE(h.set_ui_scale(200));
    EXPECT_EQ(geometry(win), (rect{960, 384, 1472, 0})) << "monitor 1 at 200 %";
    XPLMSetWindowPositioningMode(win, xplm_WindowCenterOnMonitor, 2);
    XPLMSetWindowGeometry(win, 0, 100, 200, 0);
    EXPECT_EQ(geometry(win), (rect{1628, 242, 1828, 142})) << "the new size, centred again";
    EXPECT_TRUE(h.unexpected_calls().empty());
}

TEST_F(windows, vr_mode_needs_a_headset_and_an_unknown_monitor_means_the_main_one)
{
    XPLMSetWindowPositioningMode(win, xplm_WindowVR, -1);
    XPLMSetWindowPositioningMode(win, 42, 0);
    EXPECT_EQ(XPLMWindowIsInVR(win), 0);
    EXPECT_EQ(geometry(win), (rect{100, 868, 1124, 100}));
    EXPECT_EQ(h.unexpected_call_count("XPLMSetWindowPositioningMode"), 2u);
    ASSERT_TRUE(h.set_full_screen({1, 2}, 2));
    XPLMSetWindowPositioningMode(win, xplm_WindowFullScreenOnMonitor, 0);
    EXPECT_EQ(geometry(win), desk[2]) << "noted, and on the simulator's main monitor";
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

namespace {

// Keyboard focus between two shown windows, the first decorated: what their
// key handlers hear, one line each.
class focus : public windows {
public:
    using windows::h;
    struct key_tag {
        focus *f;
        std::string name;
    };
    std::vector<std::string> events;
    key_tag ta{this, "a"}, tb{this, "b"};
    XPLMWindowID a = nullptr, b = nullptr;

    static void record(XPLMWindowID id, char key, XPLMKeyFlags flags, char vkey, void *refcon, int losing)
    {
        auto *t = static_cast<key_tag *>(refcon);
        const std::string who = id == nullptr ? "nobody" : id == t->f->a ? "a" : id == t->f->b ? "b" : "?";
        t->f->events.push_back(losing != 0 ? t->name + " loses to " + who
                                           : t->name + " key " + std::to_string(key) + " vkey " +
                                                 std::to_string(static_cast<unsigned char>(vkey)) +
                                                 " flags " + std::to_string(flags) + " to " + who);
    }

    void SetUp() override
    {
        windows::SetUp();
        a = make(ta, {0, 300, 300, 0}, xplm_WindowDecorationRoundRectangle);
        b = make(tb, {400, 300, 700, 0}, xplm_WindowDecorationNone);
    }

    XPLMWindowID make(key_tag &t, const rect &r, int decoration)
    {
        XPLMCreateWindow_t p = host_test::window_params(r);
        p.decorateAsFloatingWindow = decoration;
        p.handleKeyFunc = record;
        p.refcon = &t;
        return XPLMCreateWindowEx(&p);
    }

    int number(XPLMWindowID w) const { return h.windows()[w == a ? 1 : 2].number; }
};

TEST_F(focus, goes_to_one_window_at_a_time_and_the_window_losing_it_hears_so_once)
{
    EXPECT_EQ(XPLMHasKeyboardFocus(nullptr), 1);
    EXPECT_FALSE(h.key_press('a', XPLM_VK_A, 0)) << "the simulator takes it";
    XPLMTakeKeyboardFocus(a);
    XPLMTakeKeyboardFocus(a); // already there: nobody is told
    EXPECT_EQ(XPLMHasKeyboardFocus(a), 1);
    EXPECT_EQ(XPLMHasKeyboardFocus(b), 0);
    EXPECT_EQ(XPLMHasKeyboardFocus(nullptr), 0);
    EXPECT_EQ(h.keyboard_focus(), number(a));
    h.click(100, 100); // inside it, then on its title bar: it keeps focus
    h.click(100, 310);
    EXPECT_TRUE(h.key_press('A', XPLM_VK_A, xplm_ShiftFlag));
    XPLMTakeKeyboardFocus(b);
    EXPECT_TRUE(h.key_press(30, XPLM_VK_UP, xplm_UpFlag)) << "the caller's up or down flag is replaced";
    XPLMTakeKeyboardFocus(nullptr);
    EXPECT_FALSE(h.key_press('a', XPLM_VK_A, 0));
    EXPECT_EQ(h.keyboard_focus(), -1);
    EXPECT_THAT(events, ElementsAre("a key 65 vkey 65 flags 9 to a", "a key 65 vkey 65 flags 17 to a",
                                    "a loses to b", "b key 30 vkey 38 flags 8 to b",
                                    "b key 30 vkey 38 flags 16 to b", "b loses to nobody"));
    EXPECT_TRUE(h.unexpected_calls().empty());

    XPLMSetWindowIsVisible(b, 0);
    XPLMTakeKeyboardFocus(b);
    EXPECT_EQ(h.keyboard_focus(), -1) << "a hidden window cannot hold focus";
    EXPECT_THAT(h.unexpected_calls(), ElementsAre("XPLMTakeKeyboardFocus"));
}

struct loss_case {
    const char *name;
    void (*act)(focus &f);
};

class focus_loss : public focus, public ::testing::WithParamInterface<loss_case> {};

TEST_P(focus_loss, tells_the_window_once_and_gives_the_keys_to_the_simulator)
{
    XPLMTakeKeyboardFocus(a);
    GetParam().act(*this);
    EXPECT_THAT(events, ElementsAre("a loses to nobody"));
    EXPECT_EQ(h.keyboard_focus(), -1);
    EXPECT_FALSE(h.key_press('a', XPLM_VK_A, 0));
    EXPECT_EQ(events.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    ways, focus_loss,
    ::testing::Values(loss_case{"given_back", [](focus &) { XPLMTakeKeyboardFocus(nullptr); }},
                      loss_case{"hidden", [](focus &f) { XPLMSetWindowIsVisible(f.a, 0); }},
                      loss_case{"destroyed", [](focus &f) { XPLMDestroyWindow(f.a); }},
                      loss_case{"a_press_on_another_window", [](focus &f) { f.h.click(500, 100); }},
                      loss_case{"a_press_on_the_simulator", [](focus &f) { f.h.right_click(900, 500); }},
                      loss_case{"its_close_box", [](focus &f) { f.h.click_close_box(f.number(f.a)); }}),
    [](const ::testing::TestParamInfo<loss_case> &info) { return std::string(info.param.name); });

TEST_F(focus, a_decorated_window_has_its_title_bar_and_close_box_above_its_geometry_while_inside)
{
    const simhost::host::window_info i = h.windows()[1];
    EXPECT_EQ(geometry(a), (rect{0, 300, 300, 0})) << "the client rectangle";
    EXPECT_EQ(i.title_bar, (rect{0, 324, 300, 300}));
    EXPECT_EQ(i.close_box, (rect{279, 321, 297, 303}));
    EXPECT_EQ(h.windows()[2].title_bar, rect{}) << "undecorated";
    XPLMSetWindowPositioningMode(a, xplm_WindowPopOut, 0);
    EXPECT_EQ(h.windows()[1].close_box, rect{}) << "its operating system's window decorates it now";
    EXPECT_FALSE(h.click_close_box(number(a)));
    EXPECT_FALSE(h.click_close_box(number(b)));
}

} // namespace
