// Where a display's window opens: full screen on its saved monitor, popped
// out at its saved rectangle, or floating at the mouse.

#include <gmock/gmock.h>

#include "plugin_fixture.h"

using simhost::rect;
using ::testing::ElementsAre;

namespace {

using press = simhost::host::press;

const std::vector<simhost::monitor_bounds> two_monitors = {{0, 1080, 1920, 0}, {1920, 768, 2944, 0}};

class placement : public plugin_fixture {
protected:
    void SetUp() override
    {
        plugin_fixture::SetUp();
        ASSERT_TRUE(host.set_monitors(two_monitors)) << host.error();
    }

    simhost::host::window_info open_pfd()
    {
        host.command(pfd.command, press::once);
        auto w = window(pfd.title);
        EXPECT_TRUE(w && w->visible);
        return w ? *w : simhost::host::window_info{};
    }
};

const char *const monitor_lines[] = {"Monitor 0: [L: 0 T: 1080], [R: 1920 B: 0]",
                                     "Monitor 1: [L: 1920 T: 768], [R: 2944 B: 0]"};

TEST_F(placement, a_present_monitor_gets_the_window_full_screen_whatever_else_is_saved)
{
    write_settings({{"pfd_nbzl_monitor_start", 1}, {"pfd_nbzl_popup_at_start", 1}});
    start_and_enable();
    const auto w = open_pfd();
    EXPECT_EQ(w.mode, 2);
    EXPECT_EQ(w.mode_monitor, 1);
    EXPECT_EQ(w.geometry, two_monitors[1]);
    EXPECT_FALSE(w.popped_out);
    EXPECT_THAT(messages_from("Window Opened"),
                ElementsAre("Window Opened", "Checking Monitors to Position Window at 1", monitor_lines[0],
                            monitor_lines[1], "Setting Position", "Window Opened"));
}

struct absent_case {
    const char *name;
    int monitor;
    bool windowed; // the simulator in a window has no full-screen monitor at all
};

class absent_monitor : public placement, public ::testing::WithParamInterface<absent_case> {};

TEST_P(absent_monitor, is_reported_and_the_window_floats_at_the_mouse_with_its_setting_kept)
{
    const absent_case &c = GetParam();
    if (c.windowed) {
        ASSERT_TRUE(host.set_windowed(rect{0, 1080, 1920, 0}));
    }
    write_settings({{"pfd_nbzl_monitor_start", c.monitor}, {"pfd_nbzl_popup_at_start", 2}});
    start_and_enable();
    host.mouse_move(700, 500);
    const auto w = open_pfd();
    EXPECT_EQ(w.mode, 0);
    EXPECT_EQ(w.geometry, (rect{188, 884, 1212, 116}));
    std::vector<std::string> lines = {"Window Opened",
                                      "Checking Monitors to Position Window at " + std::to_string(c.monitor)};
    if (!c.windowed)
        lines.insert(lines.end(), std::begin(monitor_lines), std::end(monitor_lines));
    lines.push_back("Monitor " + std::to_string(c.monitor) + " not Available");
    lines.push_back("Window Opened");
    EXPECT_EQ(messages_from("Window Opened"), lines);
    host.disable();
    EXPECT_NE(read_file(cfg_path).find("pfd_nbzl_monitor_start = " + std::to_string(c.monitor)),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(desks, absent_monitor,
                         ::testing::Values(absent_case{"unplugged", 2, false},
                                           absent_case{"simulator_in_a_window", 0, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(placement, saved_as_popped_out_the_window_opens_in_its_own_os_window_at_the_saved_rectangle)
{
    write_settings({{"pfd_nbzl_popup_at_start", 1},
                    {"pfd_nbzl_x", 2000},
                    {"pfd_nbzl_y", 100},
                    {"pfd_nbzl_w", 800},
                    {"pfd_nbzl_h", 600}});
    start_and_enable();
    const auto w = open_pfd();
    EXPECT_TRUE(w.popped_out);
    EXPECT_EQ(w.mode, 4);
    EXPECT_EQ(w.os, (rect{2000, 700, 2800, 100})) << "left x, top y + h, right x + w, bottom y";
    EXPECT_THAT(messages_from("Window Opened"),
                ElementsAre("Window Opened", "Auto Popout and Position Window", "Window Opened"));
}

struct floating_case {
    const char *name;
    int popup_at_start;
};

class floating : public placement, public ::testing::WithParamInterface<floating_case> {};

TEST_P(floating, without_a_monitor_the_window_is_centred_on_the_mouse_at_the_displays_shape)
{
    write_settings({{"pfd_nbzl_popup_at_start", GetParam().popup_at_start}});
    start_and_enable();
    host.mouse_move(2400, 300);
    auto w = open_pfd();
    EXPECT_EQ(w.mode, 0);
    EXPECT_FALSE(w.popped_out);
    EXPECT_EQ(w.geometry, (rect{1888, 684, 2912, -84}));
    EXPECT_THAT(messages_from("Window Opened"), ElementsAre("Window Opened", "Window Opened"));

    host.command(pfd.command, press::once);
    host.mouse_move(100, 900);
    w = open_pfd();
    EXPECT_EQ(w.geometry, (rect{-412, 1284, 612, 516})) << "follows the mouse at every opening";
}

INSTANTIATE_TEST_SUITE_P(settings, floating,
                         ::testing::Values(floating_case{"closed_at_start", 0},
                                           floating_case{"saved_on_a_monitor", 2},
                                           floating_case{"kept_out_of_the_start", -1}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(placement, closing_a_popped_out_window_brings_it_back_into_the_simulator_before_hiding_it)
{
    write_settings(
        {{"pfd_nbzl_popup_at_start", 1}, {"pfd_nbzl_x", 10}, {"pfd_nbzl_w", 400}, {"pfd_nbzl_h", 300}});
    start_and_enable();
    open_pfd();
    host.command(pfd.command, press::once);
    auto w = window(pfd.title);
    EXPECT_FALSE(w->visible);
    EXPECT_FALSE(w->popped_out);
    EXPECT_EQ(w->mode, 0);

    w = open_pfd();
    EXPECT_TRUE(w->popped_out) << "the next opening places it from the settings again";
    EXPECT_EQ(w->os, (rect{10, 300, 410, 0}));
}

TEST_F(placement, a_window_that_was_full_screen_floats_at_the_mouse_once_its_monitor_is_gone)
{
    write_settings({{"pfd_nbzl_monitor_start", 1}, {"pfd_nbzl_popup_at_start", 2}});
    start_and_enable();
    EXPECT_EQ(open_pfd().mode, 2);
    host.command(pfd.command, press::once);

    ASSERT_TRUE(host.set_monitors({two_monitors[0]})) << host.error();
    host.mouse_move(960, 540);
    const auto w = open_pfd();
    EXPECT_TRUE(logged("Monitor 1 not Available"));
    EXPECT_EQ(w.mode, 0) << "floating, not full screen any more";
    EXPECT_EQ(w.geometry, (rect{448, 924, 1472, 156})) << "the monitor's width, the display's shape";
    EXPECT_THAT(w.on_monitors, ElementsAre(0));
}

} // namespace
