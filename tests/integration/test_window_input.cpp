// The mouse on a display's window: the controls along its edges, the display
// pixel a press reports, and the cursor each zone shows.

#include <gmock/gmock.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "plugin_fixture.h"

using simhost::rect;
using ::testing::ElementsAre;

namespace {

using press = simhost::host::press;

// With the mouse at the centre of the default monitor, the PFD opens here at
// its native 1024 x 768, so window boxels and display pixels coincide.
constexpr int wl = 448, wt = 924, wr = 1472, wb = 156;
const rect home{wl, wt, wr, wb};

std::string titled(const char *what)
{
    return std::string(what) + " " + pfd.title;
}

class window_input : public plugin_fixture {
protected:
    void open_pfd()
    {
        start_and_enable();
        host.mouse_move(960, 540);
        ASSERT_TRUE(host.command(pfd.command, press::once)) << host.error();
        ASSERT_EQ(shown(), home);
    }

    // Where the window is, popped out or not.
    rect shown() const
    {
        const auto w = window(pfd.title);
        return !w ? rect{} : w->popped_out ? w->os : w->geometry;
    }

    void press_move_release(int x, int y, int dx, int dy)
    {
        host.mouse_down(x, y);
        host.mouse_move(x + dx, y + dy);
        host.mouse_up(x + dx, y + dy);
    }

    std::vector<std::string> messages_since(size_t n) const
    {
        const auto all = plugin_messages();
        return {all.begin() + static_cast<long>(std::min(n, all.size())), all.end()};
    }
};

// The window is 1:1 with the display at `home`.
std::string click_at(int x, int y)
{
    char line[64];
    snprintf(line, sizeof(line), "Click at %.2f %.2f", static_cast<double>(x - wl),
             static_cast<double>(wt - y));
    return line;
}

enum class outcome { closes, drags, resizes_left, resizes_right, nothing };

struct zone_case {
    const char *name;
    int x, y;
    outcome what;
};

class press_zone : public window_input, public ::testing::WithParamInterface<zone_case> {};

TEST_P(press_zone, a_press_acts_by_the_zone_it_falls_in_and_its_drag_follows_through)
{
    const zone_case &c = GetParam();
    open_pfd();
    const size_t before = plugin_messages().size();
    press_move_release(c.x, c.y, 40, -30);

    const auto w = window(pfd.title);
    const auto lines = messages_since(before);
    switch (c.what) {
    case outcome::closes:
        EXPECT_FALSE(w->visible);
        EXPECT_EQ(w->geometry, home);
        EXPECT_THAT(lines, ElementsAre(click_at(c.x, c.y), titled("Close Window")));
        break;
    case outcome::drags:
        EXPECT_TRUE(w->visible);
        EXPECT_EQ(w->geometry, (rect{wl + 40, wt - 30, wr + 40, wb - 30}));
        EXPECT_THAT(lines, ElementsAre(click_at(c.x, c.y), titled("Drag Window")));
        break;
    case outcome::resizes_left:
        // 984 wide at 3:4 is 738 high, hung from the fixed top edge.
        EXPECT_EQ(w->geometry, (rect{wl + 40, wt, wr, wt - 738}));
        EXPECT_THAT(lines, ElementsAre(titled("Resize Window"))) << "a handle takes the press first";
        break;
    case outcome::resizes_right:
        EXPECT_EQ(w->geometry, (rect{wl, wt, wr + 40, wt - 798}));
        EXPECT_THAT(lines, ElementsAre(titled("Resize Window")));
        break;
    case outcome::nothing:
        EXPECT_TRUE(w->visible);
        EXPECT_EQ(w->geometry, home);
        EXPECT_THAT(lines, ElementsAre(click_at(c.x, c.y)));
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    zones, press_zone,
    ::testing::Values(zone_case{"close_button_49_from_the_left", wl + 49, wt - 10, outcome::closes},
                      zone_case{"top_band_50_from_the_left", wl + 50, wt - 10, outcome::drags},
                      zone_case{"top_band_on_the_left_edge_column", wl, wt - 10, outcome::drags},
                      zone_case{"top_band_49_from_the_top", wl + 300, wt - 49, outcome::drags},
                      zone_case{"below_the_top_band", wl + 300, wt - 50, outcome::nothing},
                      zone_case{"bottom_band_10_up", wl + 300, wb + 10, outcome::drags},
                      zone_case{"bottom_band_24_up", wl + 300, wb + 24, outcome::drags},
                      zone_case{"above_the_bottom_band", wl + 300, wb + 25, outcome::nothing},
                      zone_case{"left_handle_inner_corner", wl + 49, wb + 49, outcome::resizes_left},
                      zone_case{"left_handle_on_the_edges", wl, wb, outcome::resizes_left},
                      zone_case{"bottom_band_beside_the_left_handle", wl + 50, wb + 10, outcome::drags},
                      zone_case{"right_handle_inner_corner", wr - 49, wb + 49, outcome::resizes_right},
                      zone_case{"display_area", 960, 540, outcome::nothing}),
    [](const auto &info) { return std::string(info.param.name); });

struct grab_case {
    const char *name;
    int x, y;
};

class drag_grab : public window_input, public ::testing::WithParamInterface<grab_case> {};

TEST_P(drag_grab, a_dragged_window_keeps_its_size_and_the_grabbed_point_under_the_mouse_until_the_release)
{
    const grab_case &g = GetParam();
    open_pfd();
    host.mouse_down(g.x, g.y);
    // Far moves, out of the old rectangle and past the monitor's edges.
    for (auto [x, y] : {std::pair{100, 200}, {1900, 1000}, {g.x - 700, g.y - 500}}) {
        host.mouse_move(x, y);
        EXPECT_EQ(shown(), (rect{x - (g.x - wl), y + (wt - g.y), x - (g.x - wl) + 1024, y - (g.y - wb)}))
            << "mouse at " << x << "," << y;
    }
    host.mouse_up(g.x - 700, g.y - 500);
    const rect dropped = shown();
    host.mouse_move(300, 300);
    EXPECT_EQ(shown(), dropped) << "a move without the button moves nothing";
}

INSTANTIATE_TEST_SUITE_P(grabs, drag_grab,
                         ::testing::Values(grab_case{"top_band", wl + 300, wt - 10},
                                           grab_case{"bottom_band", wl + 300, wb + 10},
                                           grab_case{"left_edge_column", wl, wt - 10}),
                         [](const auto &info) { return std::string(info.param.name); });

struct side_case {
    const char *name;
    bool right;
};

class resize_side : public window_input, public ::testing::WithParamInterface<side_case> {};

TEST_P(resize_side, a_handle_moves_its_own_edge_with_the_top_fixed_at_the_displays_shape_down_to_256_wide)
{
    const bool right = GetParam().right;
    const int out = right ? 1 : -1; // outward, for the grabbed edge
    open_pfd();
    auto handle = [&](const rect &r) { return right ? r.right - 10 : r.left + 10; };

    host.mouse_down(handle(home), wb + 10);
    host.mouse_move(handle(home) - out * 512, wb + 10);
    host.mouse_up(handle(home) - out * 512, wb + 10);
    const rect half = right ? rect{wl, wt, wl + 512, wt - 384} : rect{wr - 512, wt, wr, wt - 384};
    ASSERT_EQ(shown(), half);

    host.mouse_down(handle(half), half.bottom + 10);
    host.mouse_move(handle(half) + out * 100, half.bottom + 300);
    EXPECT_EQ(shown(), right ? (rect{wl, wt, wl + 612, wt - 459}) : (rect{wr - 612, wt, wr, wt - 459}))
        << "the bottom moves down 75 whatever the mouse's height";
    host.mouse_move(right ? -3000 : 5000, half.bottom);
    const rect narrowest = right ? rect{wl, wt, wl + 256, wt - 192} : rect{wr - 256, wt, wr, wt - 192};
    EXPECT_EQ(shown(), narrowest);
    host.mouse_up(right ? -3000 : 5000, half.bottom);
    host.mouse_move(960, 540);
    EXPECT_EQ(shown(), narrowest) << "the release ends the resize";
}

INSTANTIATE_TEST_SUITE_P(sides, resize_side,
                         ::testing::Values(side_case{"right", true}, side_case{"left", false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(window_input, a_resize_under_way_keeps_its_edge_when_the_mouse_crosses_into_the_other_handle)
{
    open_pfd();
    host.mouse_down(wr - 10, wb + 10);
    host.mouse_move(wl + 12, wb + 14);
    EXPECT_EQ(shown(), (rect{wl, wt, wl + 256, wt - 192})) << "still the right edge, stopped at the minimum";
    host.mouse_move(wl + 402, wb + 14);
    EXPECT_EQ(shown(), (rect{wl, wt, wl + 412, wt - 309}));
    host.mouse_up(wl + 402, wb + 14);
}

TEST_F(window_input, a_press_in_the_display_area_resizes_nothing_when_the_mouse_wanders_into_a_handle)
{
    open_pfd();
    host.mouse_down(960, 540);
    for (auto [x, y] : {std::pair{wl + 10, wb + 10}, {wr - 10, wb + 10}, {wl - 100, wb - 100}, {wr + 80, 0}})
        host.mouse_move(x, y);
    host.mouse_up(wr + 80, 0);
    EXPECT_EQ(shown(), home);
    EXPECT_THAT(messages_since(0), ::testing::Contains("Click at 512.00 384.00"));
}

TEST_F(window_input, a_window_hidden_during_a_drag_or_resize_forgets_it_and_its_buttons_work_when_it_reopens)
{
    open_pfd();
    for (auto [x, y] : {std::pair{wl + 300, wt - 10}, {wr - 10, wb + 10}}) {
        host.mouse_down(x, y);
        host.mouse_move(x + 5, y - 5);
        ASSERT_TRUE(host.command(pfd.command, press::once)); // hidden by its key
        host.mouse_up(x + 5, y - 5);                         // the release never reaches it
        ASSERT_TRUE(host.command(pfd.command, press::once));
        const rect r = shown();
        host.click(r.left + 10, r.top - 10);
        EXPECT_FALSE(window(pfd.title)->visible) << "its close button closes it";
        ASSERT_TRUE(host.command(pfd.command, press::once));
    }
}

TEST_F(window_input, a_press_reports_its_display_pixel_over_the_whole_window_rectangle_from_the_top_left)
{
    open_pfd();
    host.mouse_down(wr - 10, wb + 10); // down to 512 x 384: two boxels per display pixel
    host.mouse_move(wl + 502, wb + 10);
    host.mouse_up(wl + 502, wb + 10);
    ASSERT_EQ(shown(), (rect{wl, wt, wl + 512, wt - 384}));

    for (auto [x, y, line] : {std::tuple{wl + 256, wt - 192, "Click at 512.00 384.00"},
                              {wl + 100, wt - 300, "Click at 200.00 600.00"},
                              {wl + 333, wt - 77, "Click at 666.00 154.00"}}) {
        const size_t before = plugin_messages().size();
        host.click(x, y);
        EXPECT_THAT(messages_since(before), ElementsAre(line));
    }
}

TEST_F(window_input, a_popped_out_window_keeps_only_its_buttons_and_the_rest_is_display_area)
{
    open_pfd();
    struct step {
        int x, y;
        std::vector<std::string> lines;
    };
    const step steps[] = {
        {wr - 10, wt - 10, {click_at(wr - 10, wt - 10), titled("Popout Window")}},
        {wl + 300, wt - 10, {click_at(wl + 300, wt - 10)}},
        {wl + 10, wb + 10, {click_at(wl + 10, wb + 10)}},
        {wr - 10, wb + 10, {click_at(wr - 10, wb + 10)}},
        {wl + 300, wb + 10, {click_at(wl + 300, wb + 10)}},
        {wr - 49, wt - 49, {click_at(wr - 49, wt - 49), titled("Popout Window")}},
    };
    for (const step &s : steps) {
        const size_t before = plugin_messages().size();
        press_move_release(s.x, s.y, -60, -45);
        host.run_frames(1); // a new OS window appears a frame later
        EXPECT_EQ(messages_since(before), s.lines) << "press at " << s.x << "," << s.y;
        const auto w = window(pfd.title);
        EXPECT_TRUE(w->popped_out);
        EXPECT_EQ(w->mode, 4);
        EXPECT_EQ(w->os, home) << "neither dragged nor resized";
    }
    EXPECT_TRUE(host.unexpected_calls().empty());
}

struct cursor_case {
    const char *name;
    bool popped_out;
    int x, y;
    int status; // 0 default, 2 arrow, 3 one of the plugin's images
    const char *image;
};

class zone_cursor : public window_input, public ::testing::WithParamInterface<cursor_case> {};

TEST_P(zone_cursor, each_zone_shows_the_cursor_of_what_a_press_there_would_do)
{
    const cursor_case &c = GetParam();
    open_pfd();
    if (c.popped_out) {
        host.click(wr - 10, wt - 10);
        host.run_frames(1);
        ASSERT_TRUE(window(pfd.title)->popped_out);
    }
    host.mouse_move(c.x, c.y);
    EXPECT_EQ(host.cursor_status(), c.status);
    if (c.status == 3) {
        EXPECT_EQ(host.os_cursor(), c.image);
    }
}

INSTANTIATE_TEST_SUITE_P(
    zones, zone_cursor,
    ::testing::Values(cursor_case{"close", false, wl + 10, wt - 10, 3, "b_close"},
                      cursor_case{"close_inner_corner", false, wl + 49, wt - 49, 3, "b_close"},
                      cursor_case{"pop_out", false, wr - 10, wt - 10, 3, "b_pop"},
                      cursor_case{"bottom_right", false, wr - 10, wb + 10, 3, "b_resize_r"},
                      cursor_case{"bottom_left", false, wl + 49, wb + 49, 3, "b_resize_l"},
                      cursor_case{"top_band", false, wl + 50, wt - 10, 3, "m_click"},
                      cursor_case{"bottom_band_top_row", false, wl + 300, wb + 24, 3, "m_click"},
                      cursor_case{"above_the_bottom_band", false, wl + 300, wb + 25, 2, ""},
                      cursor_case{"display_area", false, 960, 540, 2, ""},
                      cursor_case{"left_edge_column", false, wl, 540, 0, ""},
                      cursor_case{"left_edge_column_by_the_close_button", false, wl, wt - 10, 0, ""},
                      cursor_case{"bottom_edge_row", false, 960, wb, 0, ""},
                      cursor_case{"outside", false, wl - 1, 540, 0, ""},
                      cursor_case{"popped_close", true, wl + 10, wt - 10, 3, "b_close"},
                      cursor_case{"popped_bottom_left", true, wl + 10, wb + 30, 2, ""},
                      cursor_case{"popped_bottom_right", true, wr - 10, wb + 30, 2, ""},
                      cursor_case{"popped_top_band", true, wl + 300, wt - 10, 2, ""},
                      cursor_case{"popped_bottom_band", true, wl + 300, wb + 10, 3, "m_click"},
                      cursor_case{"popped_bottom_band_in_a_corner", true, wr - 10, wb + 24, 3, "m_click"},
                      cursor_case{"popped_edge_column", true, wl, 540, 0, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(window_input, a_cursor_image_that_cannot_be_read_leaves_the_default_cursor_in_its_zone)
{
    std::filesystem::remove(plugin_dir + "/resources/popup/cursors/b_close.png");
    open_pfd();
    host.mouse_move(wl + 10, wt - 10);
    EXPECT_EQ(host.cursor_status(), 0);
    host.mouse_move(wr - 10, wt - 10);
    EXPECT_EQ(host.cursor_status(), 3) << "the other images still show";
    EXPECT_EQ(host.os_cursor(), "b_pop");
    host.click(wl + 10, wt - 10);
    EXPECT_FALSE(window(pfd.title)->visible) << "the button still works";
}

} // namespace
