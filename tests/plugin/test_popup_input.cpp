// Hot-spots under the mouse: the command a press holds until its release and
// the cursor each shows. The displays ship without hot-spots, so these tests
// put their own on the PFD, with the simulator host in the process.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/popupSystem.h"
#include "windows/popup_window.h"
#include "host.h"

namespace {

using simhost::rect;

// The PFD opens 1:1 here with the mouse at the monitor's centre: display
// pixel (px, py) is boxel (wl + px, wt - py).
constexpr int wl = 448, wt = 924, wb = 156;
const rect home{wl, wt, 1472, wb};

const char *const spot_cmd = "kyv_test/spot";
const char *const knob_up = "kyv_test/knob_up";
const char *const knob_dn = "kyv_test/knob_dn";

hotspot make_spot(double x, double y, double size, const char *cmd)
{
    hotspot h;
    h.x = x;
    h.y = y;
    h.w = size;
    h.h = size;
    h.cmd_name = cmd;
    return h;
}

class popup_input : public ::testing::Test {
protected:
    simhost::host host;
    const std::vector<hotspot *> shipped = pfd_popup.hotspots;
    hotspot spot = make_spot(200, 300, 60, spot_cmd);
    hotspot knob = make_spot(600, 400, 120, "");
    hotspot missing = make_spot(300, 600, 60, "kyv_test/not_made");

    void SetUp() override
    {
        for (const char *name : {spot_cmd, knob_up, knob_dn})
            XPLMCreateCommand(name, "a test's hot-spot command");
        knob.single = false;
        knob.cmd_r_name = knob_up;
        knob.cmd_l_name = knob_dn;
        popup_system_init(std::string(KYV_PLUGIN_DIR) + "/");
        pfd_popup.hotspots = {&spot, &knob, &missing};
        resolve_hotspot_commands(&pfd_popup);
        host.mouse_move(960, 540);
        popup_toggle(nullptr, xplm_CommandEnd, &pfd_popup);
        ASSERT_EQ(host.windows().at(0).geometry, home);
    }

    void TearDown() override
    {
        popup_system_fini();
        pfd_popup.hotspots = shipped;
    }

    std::vector<std::string> held() const
    {
        std::vector<std::string> out;
        for (const char *name : {spot_cmd, knob_up, knob_dn})
            if (host.command_held(name))
                out.push_back(name);
        return out;
    }

    static int x_of(double px) { return wl + static_cast<int>(px); }
    static int y_of(double py) { return wt - static_cast<int>(py); }
};

using names = std::vector<std::string>;

TEST_F(popup_input, a_hot_spot_holds_its_command_from_the_press_to_the_release_a_knob_by_the_half_pressed)
{
    struct {
        const char *what;
        hotspot *h;
        double px;
        const char *cmd;
    } cases[] = {{"single", &spot, 200, spot_cmd},
                 {"knob at its centre", &knob, 600, knob_up},
                 {"knob right half", &knob, 650, knob_up},
                 {"knob left half", &knob, 599, knob_dn}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        host.mouse_down(x_of(c.px), y_of(c.h->y));
        EXPECT_EQ(held(), names{c.cmd});
        EXPECT_TRUE(c.h->active);
        host.run_frames(3);
        EXPECT_EQ(held(), names{c.cmd}) << "held across frames";
        host.mouse_up(x_of(c.px), y_of(c.h->y));
        EXPECT_EQ(held(), names{});
        EXPECT_FALSE(c.h->active);
    }
    EXPECT_TRUE(host.unexpected_calls().empty());
}

TEST_F(popup_input, a_release_in_a_resize_handle_still_lets_the_command_go_and_the_wander_resizes_nothing)
{
    host.mouse_down(x_of(200), y_of(300));
    ASSERT_EQ(held(), names{spot_cmd});
    host.mouse_move(wl + 10, wb + 10);
    host.mouse_move(wl - 200, wb - 20);
    host.mouse_up(wl + 10, wb + 10);
    EXPECT_EQ(held(), names{});
    EXPECT_FALSE(spot.active);
    EXPECT_EQ(host.windows().at(0).geometry, home);
}

TEST_F(popup_input, a_new_press_lets_go_of_a_command_still_held_before_it_does_its_own)
{
    host.mouse_down(x_of(200), y_of(300));
    host.mouse_down(x_of(620), y_of(400)); // the release was lost
    EXPECT_EQ(held(), names{knob_up});
    EXPECT_FALSE(spot.active);
    host.mouse_down(960, 540); // no hot-spot here
    EXPECT_EQ(held(), names{});
    EXPECT_FALSE(knob.active);
    host.mouse_up(960, 540);
    EXPECT_TRUE(host.unexpected_calls().empty());
}

TEST_F(popup_input, a_hot_spot_whose_command_is_unknown_begins_nothing_and_its_release_ends_nothing)
{
    ASSERT_EQ(missing.cmd, nullptr);
    host.mouse_down(x_of(300), y_of(600));
    EXPECT_TRUE(missing.active) << "pressed all the same";
    host.mouse_up(x_of(300), y_of(600));
    EXPECT_FALSE(missing.active);
    EXPECT_EQ(held(), names{});
    EXPECT_TRUE(host.unexpected_calls().empty()) << "no begin or end on a null command";
}

TEST_F(popup_input, stopping_the_popup_system_lets_go_of_a_held_command)
{
    host.mouse_down(x_of(560), y_of(400));
    ASSERT_EQ(held(), names{knob_dn});
    popup_system_fini();
    EXPECT_EQ(held(), names{});
    EXPECT_TRUE(host.unexpected_calls().empty());
}

TEST_F(popup_input, a_single_hot_spot_shows_its_own_cursor_or_the_pointer_and_a_knob_its_half_and_size)
{
    struct {
        hotspot *h;
        int knob_size;
        cursor_t *own;
        double px;
        const char *image;
    } cases[] = {
        {&spot, 0, popup_cursor_image(cursor_id::a_up), 200, "a_up"},
        {&spot, 0, nullptr, 200, "m_point"},
        {&knob, 0, nullptr, 600, "r_s_r"},
        {&knob, 0, nullptr, 599, "r_s_l"},
        {&knob, 1, nullptr, 600, "r_m_r"},
        {&knob, 1, nullptr, 599, "r_m_l"},
        {&knob, 2, nullptr, 650, "r_l_r"},
        {&knob, 2, nullptr, 550, "r_l_l"},
        {&knob, 7, nullptr, 650, "r_s_r"},
        {&knob, -1, nullptr, 550, "r_s_l"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.image);
        c.h->knob_size = c.knob_size;
        c.h->cursor = c.own;
        host.mouse_move(wl + 10, wt - 10); // the close button's, so each case shows its own
        ASSERT_EQ(host.os_cursor(), "b_close");
        host.mouse_move(x_of(c.px), y_of(c.h->y));
        EXPECT_EQ(host.cursor_status(), 3);
        EXPECT_EQ(host.os_cursor(), c.image);
    }
}

} // namespace
