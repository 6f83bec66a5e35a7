// The popup system driven directly, with the simulator host in the same
// process playing the simulator: for what no pilot action can reach yet,
// such as settings that change while a window exists.

#include <gtest/gtest.h>

#include <cstdio>

#include <acfutils/log.h>

#include "windows/popupSystem.h"
#include "windows/popup_window.h"
#include "host.h"

namespace {

using simhost::rect;

class popup_module : public ::testing::Test {
protected:
    simhost::host host;

    void SetUp() override { popup_system_init(std::string(KYV_PLUGIN_DIR) + "/"); }
    void TearDown() override { popup_system_fini(); }

    static void toggle(popup &pup) { EXPECT_EQ(popup_toggle(nullptr, xplm_CommandEnd, &pup), 1); }

    simhost::host::window_info only_window() const
    {
        const auto all = host.windows();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? simhost::host::window_info{} : all.front();
    }
};

TEST_F(popup_module, a_window_closed_while_popped_out_floats_when_its_settings_say_so_next_time)
{
    const popup_keys &k = *pfd_popup.keys;
    k.monitor_start->set(-1);
    k.popup_at_start->set(1);
    k.x->set(100);
    k.y->set(50);
    k.w->set(512);
    k.h->set(384);
    toggle(pfd_popup);
    EXPECT_TRUE(only_window().popped_out);
    EXPECT_EQ(only_window().os, (rect{100, 434, 612, 50}));

    toggle(pfd_popup);
    k.popup_at_start->set(0);
    host.mouse_move(700, 500);
    toggle(pfd_popup);
    const auto w = only_window();
    EXPECT_TRUE(w.visible);
    EXPECT_FALSE(w.popped_out) << "an in-simulator window, not an OS one";
    EXPECT_EQ(w.mode, 0);
    EXPECT_EQ(w.geometry, (rect{188, 884, 1212, 116}));
}

TEST_F(popup_module, a_floating_window_keeps_its_width_less_an_odd_boxel_and_takes_the_displays_shape)
{
    // Full screen on a 1023-wide monitor first, so the window has that width.
    ASSERT_TRUE(host.set_monitors({{0, 1080, 1920, 0}, {1920, 700, 2943, 0}}));
    const popup_keys &k = *pfd_popup.keys;
    k.monitor_start->set(1);
    toggle(pfd_popup);
    EXPECT_EQ(only_window().geometry.width(), 1023);

    toggle(pfd_popup);
    k.monitor_start->set(-1);
    k.popup_at_start->set(0);
    host.mouse_move(1000, 600);
    toggle(pfd_popup);
    // 1023 / 2 = 511 each side; 0.75 x 1023 = 767.25 -> 767, 767 / 2 = 383 each side.
    EXPECT_EQ(only_window().geometry, (rect{489, 983, 1511, 217}));
}

TEST_F(popup_module, toggling_acts_on_the_release_only_and_always_lets_the_command_go_on)
{
    for (XPLMCommandPhase phase : {xplm_CommandBegin, xplm_CommandContinue})
        EXPECT_EQ(popup_toggle(nullptr, phase, &mfd_popup), 1);
    EXPECT_TRUE(host.windows().empty());
    toggle(mfd_popup);
    EXPECT_TRUE(only_window().visible);
}

TEST(popup_toggle_death, a_release_without_its_display_is_a_broken_invariant_that_stops_the_process)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            log_init([](const char *line) { fputs(line, stderr); }, "KYV");
            popup_toggle(nullptr, xplm_CommandEnd, nullptr);
        },
        "In Toggle Popup Callback\n.*assertion \"pup != 0\" failed: \n");
}

} // namespace
