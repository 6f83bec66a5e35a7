// The display regions picker's editing: every move, resize and arrow step
// keeps a rectangle inside the panel and at least 64 x 48, and a resize
// keeps 4:3 while asked to.

#include <gtest/gtest.h>

#include <ostream>

#include "pictures/picker/picker_edit.h"
#include "pictures/picker/picker_layout.h"

std::ostream &operator<<(std::ostream &os, const panel_rect &r)
{
    return os << "{" << r.x << ", " << r.y << ", " << r.w << " x " << r.h << "}";
}

namespace {

constexpr panel_size panel{2048, 1536};
constexpr panel_rect middle{400, 400, 400, 300};

struct move_case {
    const char *name;
    panel_rect from;
    int dx, dy;
    panel_rect to;
};

class picker_move : public ::testing::TestWithParam<move_case> {};

TEST_P(picker_move, a_move_goes_the_whole_way_or_stops_at_the_panels_edge)
{
    const move_case &c = GetParam();
    EXPECT_EQ(move_clamped(c.from, c.dx, c.dy, panel), c.to);
    // An arrow key moves the selected rectangle the same way, and no other.
    picker_edit e;
    e.places[1].rect = c.from;
    e.selected = 1;
    edit_nudge(e, c.dx, c.dy, panel);
    EXPECT_EQ(e.places[1].rect, c.to);
    EXPECT_EQ(e.places[0].rect, picker_edit{}.places[0].rect);
}

INSTANTIATE_TEST_SUITE_P(
    edges, picker_move,
    ::testing::Values(move_case{"inside", middle, 50, -20, {450, 380, 400, 300}},
                      move_case{"one_pixel", middle, 1, 0, {401, 400, 400, 300}},
                      move_case{"ten_pixels_down", middle, 0, -10, {400, 390, 400, 300}},
                      move_case{"past_the_left_edge", middle, -500, 0, {0, 400, 400, 300}},
                      move_case{"past_the_right_edge", middle, 5000, 0, {1648, 400, 400, 300}},
                      move_case{"past_the_bottom", middle, 0, -401, {400, 0, 400, 300}},
                      move_case{"past_the_top", middle, 0, 5000, {400, 1236, 400, 300}},
                      move_case{"at_the_edge_one_more", {0, 0, 64, 48}, -1, -1, {0, 0, 64, 48}},
                      move_case{"larger_than_the_panel", {100, 0, 3000, 2000}, 0, 0, {0, 0, 2048, 1536}}),
    [](const auto &info) { return std::string(info.param.name); });

struct resize_case {
    const char *name;
    rect_corner corner;
    int x, y; // where the corner is dragged to
    bool keep_4_3;
    panel_rect to;
};

class picker_resize : public ::testing::TestWithParam<resize_case> {};

TEST_P(picker_resize, a_corner_goes_to_the_point_with_the_opposite_corner_fixed_within_the_limits)
{
    const resize_case &c = GetParam();
    const panel_rect r = resize_from_corner(middle, c.corner, c.x, c.y, c.keep_4_3, panel);
    EXPECT_EQ(r, c.to);
    EXPECT_TRUE(place_fits(r, panel));
    if (c.keep_4_3) {
        EXPECT_NEAR(r.h, r.w * 0.75, 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    corners, picker_resize,
    ::testing::Values(
        // 4:3, sized by the direction the corner went further in.
        resize_case{"top_right_wider", rect_corner::top_right, 1200, 800, true, {400, 400, 800, 600}},
        resize_case{"bottom_left_wider", rect_corner::bottom_left, 0, 200, true, {0, 100, 800, 600}},
        resize_case{"top_left_taller", rect_corner::top_left, 200, 900, true, {133, 400, 667, 500}},
        resize_case{"bottom_right_smaller", rect_corner::bottom_right, 1000, 300, true, {400, 250, 600, 450}},
        resize_case{"top_right_straight_in", rect_corner::top_right, 700, 700, true, {400, 400, 300, 225}},
        resize_case{"top_left_straight_up", rect_corner::top_left, 400, 1000, true, {0, 400, 800, 600}},
        resize_case{
            "top_right_past_the_panel", rect_corner::top_right, 5000, 5000, true, {400, 400, 1514, 1136}},
        resize_case{
            "bottom_left_past_the_panel", rect_corner::bottom_left, -900, -900, true, {0, 100, 800, 600}},
        resize_case{"over_the_opposite_corner", rect_corner::bottom_right, 0, 2000, true, {400, 652, 64, 48}},
        // Free shape.
        resize_case{"free_top_right", rect_corner::top_right, 900, 1000, false, {400, 400, 500, 600}},
        resize_case{"free_below_the_minimum", rect_corner::top_right, 410, 410, false, {400, 400, 64, 48}},
        resize_case{"free_past_the_panel", rect_corner::bottom_left, -100, -100, false, {0, 0, 800, 700}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(picker_gesture, a_press_picks_a_corner_of_the_selected_rectangle_first_and_a_drag_moves_by_whole_pixels)
{
    picker_edit e;
    e.places[0].rect = {0, 0, 400, 300};
    e.places[1].rect = {400, 300, 400, 300}; // sharing the PFD's top-right corner
    e.selected = 1;

    ASSERT_TRUE(edit_press(e, 401, 301, 5));
    EXPECT_EQ(e.gesture.display, 1);
    EXPECT_EQ(e.gesture.what, picker_gesture::kind::resize);
    EXPECT_EQ(e.gesture.corner, rect_corner::bottom_left);

    ASSERT_TRUE(edit_press(e, 200, 150, 5));
    EXPECT_EQ(e.selected, 0) << "a press inside selects";
    EXPECT_EQ(e.gesture.what, picker_gesture::kind::move);
    edit_drag(e, 210.4, 146.4, panel);
    EXPECT_EQ(e.places[0].rect, (panel_rect{10, 0, 400, 300})) << "clamped at the bottom, x by 10";
    EXPECT_TRUE(edit_release(e, 230.6, 160, panel));
    EXPECT_EQ(e.places[0].rect, (panel_rect{31, 10, 400, 300}));
    EXPECT_FALSE(edit_release(e, 0, 0, panel)) << "the gesture ended";

    EXPECT_FALSE(edit_press(e, 1500, 1500, 5));
    edit_drag(e, 0, 0, panel);
    EXPECT_EQ(e.places[0].rect, (panel_rect{31, 10, 400, 300})) << "a press on no rectangle drags nothing";
}

TEST(picker_gesture, an_edit_clears_the_last_saves_message)
{
    picker_edit e;
    e.message = "Not saved: no aircraft";
    e.message_is_error = true;
    edit_select(e, 2);
    EXPECT_FALSE(e.message.empty()) << "selecting edits nothing";
    edit_nudge(e, 1, 0, panel);
    EXPECT_TRUE(e.message.empty());
}

TEST(picker_picture, the_panel_is_centred_in_the_picture_area_with_its_shape_kept)
{
    const boxel_rect area{100, 700, 900, 100}; // 800 x 600
    const picture_place wide = fit_picture(area, {3200, 1200});
    EXPECT_DOUBLE_EQ(wide.scale, 0.25);
    EXPECT_DOUBLE_EQ(wide.boxel_x(0), 100);
    EXPECT_DOUBLE_EQ(wide.boxel_y(0), 250);
    EXPECT_DOUBLE_EQ(wide.boxel_y(1200), 550);
    const picture_place tall = fit_picture(area, {600, 1200});
    EXPECT_DOUBLE_EQ(tall.scale, 0.5);
    EXPECT_DOUBLE_EQ(tall.boxel_x(0), 350);
    EXPECT_DOUBLE_EQ(tall.panel_x(tall.boxel_x(123)), 123);
}

} // namespace
