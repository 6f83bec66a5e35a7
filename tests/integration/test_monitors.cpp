// Monitors and saved geometry: the start-up assignment of the PFD and MFD,
// the right-click corners that save a window's place, and the screen swap.

#include <gmock/gmock.h>

#include "cfg_file.h"
#include "plugin_fixture.h"

using simhost::rect;
using ::testing::ElementsAre;

namespace {

using press = simhost::host::press;
using monitor_list = std::vector<simhost::monitor_bounds>;

constexpr int startup_loops = 51;

// Monitors of these widths and 768 high, side by side from the origin.
monitor_list side_by_side(const std::vector<int> &widths)
{
    monitor_list out;
    int left = 0;
    for (int w : widths) {
        out.push_back(rect{left, 768, left + w, 0});
        left += w;
    }
    return out;
}

// A cockpit builder's desk, in pixels: the main monitor, a side screen the
// simulator runs full screen on too, and a screen left of the main one, lower
// in the list and higher up, that the simulator does not cover. None has a
// display's width at any scale, so the start-up assigns nothing.
const monitor_list builder_desk = {{0, 1440, 2560, 0}, {2560, 1024, 3840, 0}, {-1280, 1224, 0, 200}};

std::string monitor_line(const char *prefix, size_t index, const rect &m)
{
    return std::string(prefix) + std::to_string(index) + ": [L: " + std::to_string(m.left) +
           " T: " + std::to_string(m.top) + "], [R: " + std::to_string(m.right) +
           " B: " + std::to_string(m.bottom) + "]";
}

class monitors : public plugin_fixture {
protected:
    // A window moved to a monitor that is not there, or a geometry the
    // simulator refuses, shows up here.
    void TearDown() override
    {
        for (const std::string &call : host.unexpected_calls())
            ADD_FAILURE() << "unexpected call: " << call;
    }

    void use_monitors(const monitor_list &m) { ASSERT_TRUE(host.set_monitors(m)) << host.error(); }

    // The builder's desk at a scale, full screen on monitors 0 and 1, its
    // global desktop offset from the system's.
    void use_builder_desk(int scale)
    {
        use_monitors(builder_desk);
        ASSERT_TRUE(host.set_full_screen({0, 1}, 0)) << host.error();
        ASSERT_TRUE(host.set_ui_scale(scale)) << host.error();
        host.set_desktop_offset(200, -100);
    }

    rect global_monitor(int index) const
    {
        for (const simhost::indexed_monitor &m : host.global_monitors())
            if (m.index == index)
                return m.bounds;
        ADD_FAILURE() << "no full-screen monitor " << index;
        return rect{};
    }

    // A setting as popups.cfg holds it; the plugin writes it at disable.
    std::string saved(const display &d, const std::string &key) const
    {
        for (const auto &[k, v] : cfg_entries(read_file(cfg_path)))
            if (k == d.key_prefix + key)
                return v;
        return "<absent>";
    }

    std::vector<std::string> lines_starting(const std::string &prefix) const
    {
        std::vector<std::string> out;
        for (const std::string &m : plugin_messages())
            if (m.rfind(prefix, 0) == 0)
                out.push_back(m);
        return out;
    }

    // The presence search's lines, one per monitor.
    std::vector<std::string> monitor_search_lines() const
    {
        std::vector<std::string> out;
        for (const simhost::indexed_monitor &m : host.global_monitors())
            out.push_back(monitor_line("Monitor ", static_cast<size_t>(m.index), m.bounds));
        return out;
    }

    // A swap's lines when it moves these windows to these present monitors.
    std::vector<std::string> swap_lines(const std::vector<std::pair<const char *, int>> &moves) const
    {
        std::vector<std::string> out = {"Attempting KYV Screen Swap"};
        for (const auto &[name, monitor] : moves) {
            out.push_back(std::string("Checking Monitors to Position ") + name + " at " +
                          std::to_string(monitor));
            for (const auto &l : monitor_search_lines())
                out.push_back(l);
            out.push_back(std::string("Setting ") + name + " Position");
        }
        return out;
    }

    void expect_full_screen(const display &d, int monitor) const
    {
        const auto w = window(d.title);
        ASSERT_TRUE(w.has_value()) << d.title;
        EXPECT_TRUE(w->visible) << d.title;
        EXPECT_EQ(w->mode, 2) << d.title;
        EXPECT_EQ(w->mode_monitor, monitor) << d.title;
        EXPECT_EQ(w->geometry, global_monitor(monitor)) << d.title;
    }

    // Opens a display by its command with the mouse at the window's centre to be.
    rect open_at(const display &d, int x, int y)
    {
        host.mouse_move(x, y);
        host.command(d.command, press::once);
        const auto w = window(d.title);
        EXPECT_TRUE(w && w->visible);
        return w ? w->geometry : rect{};
    }

    // Right-clicks the PFD's top-right corner: the rectangle is saved as a
    // popped-out place, and the window stays as it is.
    void expect_popout_saved(const std::vector<std::string> &xywh)
    {
        const auto before = window(pfd.title);
        ASSERT_TRUE(before.has_value());
        host.right_click(before->geometry.right - 10, before->geometry.top - 10);
        EXPECT_EQ(count("Save Popout Window Location"), 1u);
        const auto after = window(pfd.title);
        EXPECT_EQ(after->geometry, before->geometry);
        EXPECT_EQ(after->mode, before->mode);
        EXPECT_EQ(after->visible, before->visible);
        EXPECT_FALSE(after->popped_out);
        host.disable();
        const char *keys[] = {"x", "y", "w", "h"};
        for (size_t i = 0; i < 4; i++)
            EXPECT_EQ(saved(pfd, keys[i]), xywh[i]) << keys[i];
        EXPECT_EQ(saved(pfd, "popup_at_start"), "1");
        EXPECT_EQ(saved(pfd, "monitor_start"), "-1");
    }
};

struct assignment_case {
    const char *name;
    std::vector<int> widths; // pixels
    std::vector<std::string> found;
    int pfd, mfd;
    int scale = 100;
    std::vector<int> full_screen = {}; // empty: all
    bool windowed = false;
};

class assignment : public monitors, public ::testing::WithParamInterface<assignment_case> {};

TEST_P(assignment, the_first_monitor_of_a_display_width_goes_to_the_pfd_and_the_last_to_the_mfd)
{
    const assignment_case &c = GetParam();
    use_monitors(side_by_side(c.widths));
    ASSERT_TRUE(host.set_ui_scale(c.scale));
    if (!c.full_screen.empty()) {
        ASSERT_TRUE(host.set_full_screen(c.full_screen, c.full_screen.front()));
    }
    if (c.windowed) {
        ASSERT_TRUE(host.set_windowed(rect{10, 700, 810, 100}));
    }
    start_and_enable();
    host.run_frames(startup_loops);

    std::vector<std::string> listed;
    for (const simhost::indexed_monitor &m : host.global_monitors())
        listed.push_back(monitor_line("KYV Monitor ", static_cast<size_t>(m.index), m.bounds));
    EXPECT_EQ(lines_starting("KYV Monitor "), listed);
    EXPECT_EQ(lines_starting("KYV: Found"), c.found);
    std::vector<std::string> set;
    for (auto [monitor, name] : {std::make_pair(c.pfd, "PFD"), std::make_pair(c.mfd, "MFD")})
        if (monitor >= 0)
            set.push_back("KYV: Setting Monitor " + std::to_string(monitor) + " to " + name);
    EXPECT_EQ(lines_starting("KYV: Setting"), set);

    for (auto [d, monitor] : {std::make_pair(&pfd, c.pfd), std::make_pair(&mfd, c.mfd)})
        if (monitor >= 0)
            expect_full_screen(*d, monitor);
        else
            EXPECT_FALSE(window(d->title).has_value()) << d->title << " keeps its settings: closed";
    host.disable();
    for (auto [d, monitor] : {std::make_pair(&pfd, c.pfd), std::make_pair(&mfd, c.mfd)}) {
        EXPECT_EQ(saved(*d, "popup_at_start"), monitor >= 0 ? "2" : "0") << d->title;
        EXPECT_EQ(saved(*d, "monitor_start"), std::to_string(monitor)) << d->title;
    }
    EXPECT_EQ(saved(pfd2, "popup_at_start"), "0") << "the PFD2 is never assigned";
}

INSTANTIATE_TEST_SUITE_P(
    widths, assignment,
    ::testing::Values(assignment_case{"wide_then_two",
                                      {960, 1024, 1024},
                                      {"KYV: Found Monitor 1 for PFD", "KYV: Found Monitor 2 for MFD"},
                                      1,
                                      2},
                      assignment_case{"three_alike",
                                      {1024, 1024, 1024},
                                      {"KYV: Found Monitor 0 for PFD", "KYV: Found Monitor 1 for MFD",
                                       "KYV: Found Monitor 2 for MFD"},
                                      0,
                                      2},
                      assignment_case{"one_off_either_way", {1023, 1025}, {}, -1, -1},
                      assignment_case{"smaller_sizes",
                                      {800, 683},
                                      {"KYV: Found Monitor 0 for PFD", "KYV: Found Monitor 1 for MFD"},
                                      0,
                                      1},
                      assignment_case{"one_small", {683}, {"KYV: Found Monitor 0 for PFD"}, 0, -1},
                      // 1024-pixel screens at 150 % are 683 boxels wide.
                      assignment_case{"g1000_screens_at_150_percent",
                                      {1920, 1024, 1024},
                                      {"KYV: Found Monitor 1 for PFD", "KYV: Found Monitor 2 for MFD"},
                                      1,
                                      2,
                                      150},
                      assignment_case{"full_screen_on_0_and_2_only",
                                      {1024, 1024, 1024},
                                      {"KYV: Found Monitor 0 for PFD", "KYV: Found Monitor 2 for MFD"},
                                      0,
                                      2,
                                      100,
                                      {0, 2}},
                      assignment_case{"windowed", {1024, 1024}, {}, -1, -1, 100, {}, true}),
    [](const auto &info) { return std::string(info.param.name); });

struct kept_out_case {
    const display *out, *in;
    int in_monitor;
    const char *setting;
};

class kept_out : public monitors, public ::testing::WithParamInterface<kept_out_case> {};

TEST_P(kept_out, popup_at_start_below_zero_keeps_a_display_out_of_the_assignment_and_closed)
{
    const kept_out_case &c = GetParam();
    use_monitors(side_by_side({1024, 1024}));
    write_settings({{std::string(c.out->key_prefix) + "popup_at_start", -1}});
    start_and_enable();
    host.run_frames(startup_loops);

    EXPECT_THAT(lines_starting("KYV: Found"),
                ElementsAre("KYV: Found Monitor 0 for PFD", "KYV: Found Monitor 1 for MFD"));
    EXPECT_THAT(lines_starting("KYV: Setting"), ElementsAre(c.setting));
    EXPECT_FALSE(window(c.out->title).has_value());
    expect_full_screen(*c.in, c.in_monitor);
    host.disable();
    EXPECT_EQ(saved(*c.out, "popup_at_start"), "-1");
    EXPECT_EQ(saved(*c.out, "monitor_start"), "-1");
}

INSTANTIATE_TEST_SUITE_P(display, kept_out,
                         ::testing::Values(kept_out_case{&pfd, &mfd, 1, "KYV: Setting Monitor 1 to MFD"},
                                           kept_out_case{&mfd, &pfd, 0, "KYV: Setting Monitor 0 to PFD"}),
                         [](const auto &info) {
                             return std::string(info.param.out->key_prefix) + "kept_out";
                         });

const monitor_list two_wide = {{0, 1080, 1920, 0}, {1920, 1080, 3840, 0}};

struct corner_case {
    const char *name;
    int from_left, from_top;
    bool saves;
};

class top_left_corner : public monitors, public ::testing::WithParamInterface<corner_case> {};

TEST_P(top_left_corner, a_right_click_inside_it_puts_the_window_full_screen_on_the_monitor_under_the_click)
{
    const corner_case &c = GetParam();
    use_monitors(two_wide);
    start_and_enable();
    host.run_frames(startup_loops);
    const rect before = open_at(pfd, 2880, 540);
    ASSERT_EQ(before, (rect{2368, 924, 3392, 156}));

    host.right_click(before.left + c.from_left, before.top - c.from_top);
    EXPECT_EQ(count("Save Monitor Full Screen"), c.saves ? 1u : 0u);
    if (c.saves) {
        expect_full_screen(pfd, 1);
    } else {
        EXPECT_EQ(window(pfd.title)->geometry, before);
        EXPECT_EQ(window(pfd.title)->mode, 0);
    }
    host.disable();
    EXPECT_EQ(saved(pfd, "monitor_start"), c.saves ? "1" : "-1");
    EXPECT_EQ(saved(pfd, "popup_at_start"), c.saves ? "2" : "0");
}

INSTANTIATE_TEST_SUITE_P(distances, top_left_corner,
                         ::testing::Values(corner_case{"at_49", 49, 49, true},
                                           corner_case{"at_1", 1, 1, true},
                                           corner_case{"50_from_the_left", 50, 49, false},
                                           corner_case{"on_the_left_edge", 0, 49, false},
                                           corner_case{"50_from_the_top", 49, 50, false},
                                           corner_case{"on_the_top_edge", 49, 0, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(monitors, a_monitor_saved_from_a_point_on_a_monitor_edge_is_none_and_the_window_floats_there)
{
    use_monitors(two_wide);
    start_and_enable();
    const rect before = open_at(pfd, 2412, 540);
    ASSERT_EQ(before.left, 1900);
    host.right_click(1920, 900);
    EXPECT_THAT(messages_from("Save Monitor Full Screen"), ::testing::IsSupersetOf(monitor_search_lines()));
    const auto w = window(pfd.title);
    EXPECT_TRUE(w->visible);
    EXPECT_EQ(w->mode, 0);
    EXPECT_EQ(w->geometry, (rect{1408, 1284, 2432, 516})) << "centred on the click";
    host.disable();
    EXPECT_EQ(saved(pfd, "monitor_start"), "-1");
    EXPECT_EQ(saved(pfd, "popup_at_start"), "2");
}

TEST_F(monitors, the_top_right_corner_saves_a_moved_floating_window_as_popped_out_where_it_is)
{
    start_and_enable();
    open_at(pfd, 960, 540);
    host.mouse_down(1470, 158); // the right resize handle
    host.mouse_move(958, 158);
    host.mouse_up(958, 158);
    ASSERT_EQ(window(pfd.title)->geometry, (rect{448, 924, 960, 540}));
    host.mouse_down(648, 914); // the top drag band
    host.mouse_move(300, 474);
    host.mouse_up(300, 474);
    ASSERT_EQ(window(pfd.title)->geometry, (rect{100, 484, 612, 100}));
    expect_popout_saved({"100", "100", "512", "384"});
}

TEST_F(monitors, the_top_right_corner_saves_a_full_screen_window_as_popped_out_where_it_is)
{
    use_monitors({{0, 1080, 1920, 0}, {-512, 868, 0, 100}});
    write_settings({{"pfd_nbzl_popup_at_start", 2}, {"pfd_nbzl_monitor_start", 1}});
    start_and_enable();
    host.run_frames(startup_loops);
    expect_full_screen(pfd, 1);
    expect_popout_saved({"-512", "100", "512", "768"});
}

struct place_case {
    const char *name;
    int scale;
    bool last_floating; // what the host reports as a popped-out window's geometry
    bool popped_out;    // saved from its own window, or from inside the simulator
};

class saved_place : public monitors, public ::testing::WithParamInterface<place_case> {};

TEST_P(saved_place, comes_back_where_it_was_saved_at_the_next_start)
{
    const place_case &c = GetParam();
    use_builder_desk(c.scale);
    host.set_popped_geometry_is_last_floating(c.last_floating);
    start_and_enable();
    host.run_frames(startup_loops);
    const rect side = global_monitor(1);
    const rect r = open_at(pfd, (side.left + side.right) / 2, (side.top + side.bottom) / 2);

    rect want;
    if (c.popped_out) {
        host.click(r.right - 10, r.top - 10); // its pop-out button
        host.run_frames(1);
        const int n = window(pfd.title)->number;
        // The pilot takes it to the screen the simulator does not cover.
        ASSERT_TRUE(host.os_move(n, -1200, 300)) << host.error();
        want = window(pfd.title)->os;
        const rect g = window(pfd.title)->os_in_global;
        host.right_click(g.right - 10, g.top - 10);
    } else {
        want = host.to_os(r);
        host.right_click(r.right - 10, r.top - 10);
    }
    EXPECT_EQ(count("Save Popout Window Location"), 1u);
    ASSERT_TRUE(host.disable());
    ASSERT_TRUE(host.enable());
    host.run_frames(startup_loops + 1);

    const auto w = window(pfd.title);
    ASSERT_TRUE(w && w->visible && w->popped_out);
    EXPECT_NEAR(w->os.left, want.left, 2);
    EXPECT_NEAR(w->os.top, want.top, 2);
    EXPECT_NEAR(w->os.right, want.right, 2);
    EXPECT_NEAR(w->os.bottom, want.bottom, 2);
}

INSTANTIATE_TEST_SUITE_P(desks, saved_place,
                         ::testing::Values(place_case{"popped_out_100", 100, false, true},
                                           place_case{"popped_out_150", 150, false, true},
                                           place_case{"popped_out_200", 200, false, true},
                                           place_case{"popped_out_150_last_floating", 150, true, true},
                                           place_case{"popped_out_200_last_floating", 200, true, true},
                                           place_case{"floating_100", 100, false, false},
                                           place_case{"floating_150", 150, false, false},
                                           place_case{"floating_200", 200, false, false},
                                           place_case{"floating_150_last_floating", 150, true, false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(monitors, a_windowed_simulator_keeps_the_previous_place_as_it_cannot_convert_a_floating_one)
{
    use_monitors(builder_desk);
    ASSERT_TRUE(host.set_windowed(rect{100, 1300, 1700, 100}));
    ASSERT_TRUE(host.set_ui_scale(150));
    write_settings({{"pfd_nbzl_x", 7}});
    start_and_enable();
    const rect r = open_at(pfd, 500, 400);
    host.right_click(r.right - 10, r.top - 10);
    EXPECT_TRUE(logged("Popout Location Not Saved (on no monitor the simulator runs full screen on): "
                       "Previous Place Kept"));
    host.disable();
    EXPECT_EQ(saved(pfd, "x"), "7");
    EXPECT_EQ(saved(pfd, "popup_at_start"), "0");
}

TEST_F(monitors, a_popped_out_window_moved_and_resized_by_the_pilot_keeps_the_displays_shape)
{
    use_builder_desk(150);
    ASSERT_TRUE(host.init_gl()) << host.error();
    start_and_enable();
    const rect r = open_at(pfd, 400, 400);
    host.click(r.right - 10, r.top - 10);
    host.run_frames(1);
    const auto popped = window(pfd.title);
    ASSERT_TRUE(popped->popped_out);
    EXPECT_EQ(popped->os, host.to_os(r)) << "it opens where it was, in pixels";

    ASSERT_TRUE(host.os_move(popped->number, -1200, 300));
    host.run_frames(2);
    const int top = 300 + popped->os.height();
    EXPECT_EQ(window(pfd.title)->os, (rect{-1200, top, -1200 + popped->os.width(), 300}));

    ASSERT_TRUE(host.os_resize(popped->number, 900, 900));
    host.run_frames(2);
    EXPECT_EQ(window(pfd.title)->os, (rect{-1200, top, -300, top - 675})) << "4:3, the top edge kept";
    ASSERT_TRUE(host.os_resize(popped->number, 960, 400));
    host.run_frames(2);
    EXPECT_EQ(window(pfd.title)->os, (rect{-1200, top, -667, top - 400})) << "the height changed most";
}

struct idle_case {
    const char *name;
    void (*act)(simhost::host &, const rect &);
};

class idle_right_clicks : public monitors, public ::testing::WithParamInterface<idle_case> {};

TEST_P(idle_right_clicks, change_nothing)
{
    // Both set to open on a monitor, so a swap would be allowed to happen.
    write_settings({{"pfd_nbzl_popup_at_start", 2}, {"mfd_nbzl_popup_at_start", 2}});
    start_and_enable();
    host.run_frames(startup_loops);
    host.command(mfd.command, press::once);
    host.command(pfd.command, press::once);
    const rect r = open_at(pfd, 960, 540);
    GetParam().act(host, r);
    EXPECT_FALSE(logged("Save Monitor Full Screen"));
    EXPECT_FALSE(logged("Save Popout Window Location"));
    EXPECT_FALSE(logged("Attempting KYV Screen Swap"));
    const auto w = window(pfd.title);
    EXPECT_TRUE(w->visible);
    EXPECT_EQ(w->geometry, r);
    EXPECT_EQ(w->mode, 0);
    host.disable();
    EXPECT_EQ(saved(pfd, "popup_at_start"), "2");
    EXPECT_EQ(saved(pfd, "monitor_start"), "-1");
    EXPECT_EQ(saved(pfd, "x"), "0");
    EXPECT_EQ(saved(pfd, "w"), "1024");
}

INSTANTIATE_TEST_SUITE_P(
    clicks, idle_right_clicks,
    ::testing::Values(
        idle_case{"bottom_left_corner",
                  [](simhost::host &h, const rect &r) { h.right_click(r.left + 10, r.bottom + 10); }},
        idle_case{"middle",
                  [](simhost::host &h, const rect &r) { h.right_click(r.left + 500, r.top - 300); }},
        idle_case{"top_band_between_corners",
                  [](simhost::host &h, const rect &r) { h.right_click(r.left + 300, r.top - 10); }},
        idle_case{"right_band_between_corners",
                  [](simhost::host &h, const rect &r) { h.right_click(r.right - 10, r.top - 300); }},
        idle_case{"press_in_the_middle_dragged_and_released_through_the_corners",
                  [](simhost::host &h, const rect &r) {
                      h.right_down(r.left + 500, r.top - 300);
                      h.mouse_move(r.left + 10, r.top - 10);
                      h.mouse_move(r.right - 10, r.top - 10);
                      h.mouse_move(r.right - 10, r.bottom + 10);
                      h.right_up(r.right - 10, r.bottom + 10);
                  }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(monitors, a_right_click_goes_on_to_the_window_behind)
{
    start_and_enable();
    open_at(mfd, 960, 540);                                           // 448, 924, 1472, 156
    ASSERT_EQ(open_at(pfd, 958, 1264), (rect{446, 1648, 1470, 880})); // in front, overlapping its top
    host.right_click(1450, 900); // the PFD's bottom-right corner, the MFD's top-right
    EXPECT_TRUE(logged("Attempting KYV Screen Swap"));
    EXPECT_TRUE(logged("Save Popout Window Location"));
    host.right_click(480, 900); // the PFD's bottom-left corner, the MFD's top-left
    EXPECT_TRUE(logged("Save Monitor Full Screen"));
    expect_full_screen(mfd, 0);
}

const monitor_list swap_screens = {{0, 1080, 1920, 0}, {1920, 768, 2944, 0}, {2944, 768, 3968, 0}};
// No display width among them, so the start-up assigns nothing.
const monitor_list odd_screens = {{0, 1080, 1920, 0}, {1920, 750, 2920, 0}, {2920, 750, 3920, 0}};

class swap_from : public monitors, public ::testing::WithParamInterface<const display *> {};

TEST_P(swap_from, the_bottom_right_corner_exchanges_the_pfd_and_mfd_monitors)
{
    use_monitors(swap_screens);
    write_settings({{"pfd_nbzl_popup_at_start", 2},
                    {"pfd_nbzl_monitor_start", 1},
                    {"mfd_nbzl_popup_at_start", 2},
                    {"mfd_nbzl_monitor_start", 2},
                    {"pfd_2_nbzl_popup_at_start", 2},
                    {"pfd_2_nbzl_monitor_start", 0}});
    start_and_enable();
    host.run_frames(startup_loops);
    expect_full_screen(pfd, 1);
    expect_full_screen(mfd, 2);

    const rect r = window(GetParam()->title)->geometry;
    host.right_click(r.right - 10, r.bottom + 10);
    EXPECT_EQ(messages_from("Attempting KYV Screen Swap"), swap_lines({{"PFD", 2}, {"MFD", 1}}));
    expect_full_screen(pfd, 2);
    expect_full_screen(mfd, 1);
    expect_full_screen(pfd2, 0);

    host.disable();
    EXPECT_EQ(saved(pfd, "monitor_start"), "2");
    EXPECT_EQ(saved(mfd, "monitor_start"), "1");
    EXPECT_EQ(saved(pfd, "popup_at_start"), "2");
    EXPECT_EQ(saved(mfd, "popup_at_start"), "2");
}

INSTANTIATE_TEST_SUITE_P(window, swap_from, ::testing::Values(&pfd, &mfd, &pfd2),
                         [](const auto &info) { return std::string(info.param->key_prefix) + "window"; });

struct no_swap_case {
    const char *name;
    int pfd_at, mfd_at;
    const display *clicked;
};

class no_swap : public monitors, public ::testing::WithParamInterface<no_swap_case> {};

TEST_P(no_swap, without_both_displays_on_monitors_the_swap_is_refused_and_nothing_changes)
{
    const no_swap_case &c = GetParam();
    use_monitors(odd_screens);
    write_settings({{"pfd_nbzl_popup_at_start", c.pfd_at},
                    {"pfd_nbzl_monitor_start", 1},
                    {"mfd_nbzl_popup_at_start", c.mfd_at},
                    {"mfd_nbzl_monitor_start", 2}});
    start_and_enable();
    host.run_frames(startup_loops);
    const auto before = host.windows();
    const rect r = window(c.clicked->title)->geometry;
    host.right_click(r.right - 10, r.bottom + 10);

    EXPECT_THAT(messages_from("Attempting KYV Screen Swap"),
                ElementsAre("Attempting KYV Screen Swap", "Unable to swap monitors! Windows do not exist!!"));
    const auto after = host.windows();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); i++) {
        EXPECT_EQ(after[i].geometry, before[i].geometry) << after[i].title;
        EXPECT_EQ(after[i].mode_monitor, before[i].mode_monitor) << after[i].title;
        EXPECT_EQ(after[i].visible, before[i].visible) << after[i].title;
    }
    host.disable();
    EXPECT_EQ(saved(pfd, "monitor_start"), "1");
    EXPECT_EQ(saved(mfd, "monitor_start"), "2");
}

INSTANTIATE_TEST_SUITE_P(settings, no_swap,
                         ::testing::Values(no_swap_case{"mfd_closed", 2, 0, &pfd},
                                           no_swap_case{"mfd_saved_as_popped_out", 2, 1, &pfd},
                                           no_swap_case{"pfd_kept_out", -1, 2, &mfd}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(monitors, a_swap_moves_only_the_windows_that_exist_but_exchanges_both_monitors)
{
    use_monitors(odd_screens);
    write_settings({{"pfd_nbzl_popup_at_start", 2},
                    {"pfd_nbzl_monitor_start", 1},
                    {"mfd_nbzl_popup_at_start", 2},
                    {"mfd_nbzl_monitor_start", 2}});
    start_and_enable();
    host.run_frames(10);
    host.command(pfd.command, press::once); // the MFD has no window before the start-up
    const rect r = window(pfd.title)->geometry;
    host.right_click(r.right - 10, r.bottom + 10);

    EXPECT_EQ(messages_from("Attempting KYV Screen Swap"), swap_lines({{"PFD", 2}}));
    expect_full_screen(pfd, 2);
    EXPECT_FALSE(window(mfd.title).has_value());

    host.run_frames(startup_loops - 10);
    expect_full_screen(mfd, 1);
    expect_full_screen(pfd, 2);
    host.disable();
    EXPECT_EQ(saved(mfd, "monitor_start"), "1");
}

} // namespace
