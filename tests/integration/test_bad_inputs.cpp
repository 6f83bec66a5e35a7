// Inputs a cockpit builder's machine can hand the plugin: settings files
// edited by hand or damaged, saved places no window can have, monitors that
// come and go, broken or missing images, odd install paths. Each is survived
// with a log line that says what happened, and nothing the user saved is lost.

#include <gmock/gmock.h>

#include <climits>
#include <filesystem>

#include "cfg_file.h"
#include "plugin_fixture.h"

using simhost::rect;
using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using press = simhost::host::press;

const simhost::monitor_bounds main_monitor{0, 1080, 1920, 0};
const std::vector<simhost::monitor_bounds> three_monitors = {
    main_monitor, {1920, 768, 2944, 0}, {2944, 768, 3968, 0}};

class bad_inputs : public plugin_fixture {
protected:
    bool logged_part(const std::string &part) const
    {
        for (const auto &m : plugin_messages())
            if (m.find(part) != std::string::npos)
                return true;
        return false;
    }

    std::string cfg_value(const std::string &key) const
    {
        for (const auto &[k, v] : cfg_entries(read_file(cfg_path)))
            if (k == key)
                return v;
        return "<absent>";
    }

    // Opens and closes every display, as a pilot would; nothing may break.
    void toggle_all_twice()
    {
        for (const display *d : {&pfd, &mfd, &pfd2}) {
            host.command(d->command, press::once);
            auto w = window(d->title);
            ASSERT_TRUE(w && w->visible) << d->title;
            host.command(d->command, press::once);
            EXPECT_FALSE(window(d->title)->visible) << d->title;
        }
    }

    void enable_use_and_disable()
    {
        start_and_enable();
        host.mouse_move(960, 540);
        toggle_all_twice();
        ASSERT_TRUE(host.disable()) << host.error();
        EXPECT_TRUE(logged("XPLMDisable Complete"));
    }
};

// ---- the settings file ----

TEST_F(bad_inputs, a_settings_file_that_is_a_folder_is_left_alone_and_the_settings_live_in_memory)
{
    fs::create_directories(cfg_path);
    write_file(cfg_path + "/keep.txt", "mine");
    enable_use_and_disable();
    EXPECT_TRUE(logged_part("Cannot read " + native_path(cfg_path) + ": Is a directory"));
    EXPECT_TRUE(logged("Error Reading Config File. Creating New File"));
    EXPECT_TRUE(logged("Unable to Initialize Failures"));
    EXPECT_TRUE(fs::is_directory(cfg_path));
    EXPECT_EQ(read_file(cfg_path + "/keep.txt"), "mine");
}

TEST_F(bad_inputs, an_empty_settings_file_gets_every_default)
{
    write_file(cfg_path, "");
    enable_use_and_disable();
    EXPECT_EQ(count("Error Getting Data - added: pfd_nbzl_w"), 1u);
    EXPECT_EQ(cfg_entries(read_file(cfg_path)).size(), 21u);
    EXPECT_FALSE(fs::exists(cfg_path + ".bak")) << "nothing unreadable to keep";
}

struct damaged_file {
    const char *name;
    std::string content;
    const char *bad_line_said; // part of the log line naming the first bad line
};

std::string binary_garbage()
{
    std::string s;
    unsigned x = 12345;
    for (int i = 0; i < 3000; i++) {
        x = x * 1103515245u + 12345u;
        s += static_cast<char>(x >> 16);
    }
    return s;
}

const damaged_file damaged_files[] = {
    {"binary_garbage", binary_garbage() + "\npfd_nbzl_w = 800\n", "skipped malformed line"},
    {"nul_bytes", "pfd_nbzl_w = 800\nmfd_nbzl_w\0 = 640\n\0\0\0\n"s, "control byte"},
    {"ten_megabyte_line", std::string(10 << 20, 'x') + "\npfd_nbzl_w = 800\n", "longer than 4096 bytes"},
};

void PrintTo(const damaged_file &f, std::ostream *os)
{
    *os << f.name;
}

class damaged : public bad_inputs, public ::testing::WithParamInterface<damaged_file> {};

TEST_P(damaged, a_damaged_settings_file_keeps_its_good_lines_and_a_copy_of_itself)
{
    write_file(cfg_path, GetParam().content);
    enable_use_and_disable();
    EXPECT_TRUE(logged_part(GetParam().bad_line_said));
    EXPECT_TRUE(logged_part("the file as it was is kept as " + native_path(cfg_path) + ".bak"));
    EXPECT_EQ(read_file(cfg_path + ".bak"), GetParam().content) << "what could not be read is not lost";
    EXPECT_EQ(cfg_value("pfd_nbzl_w"), "800") << "the good line still counts";
    EXPECT_EQ(cfg_value("mfd_nbzl_w"), "1024");
    EXPECT_EQ(cfg_entries(read_file(cfg_path)).size(), 21u);
    EXPECT_LT(fs::file_size(cfg_path), 4096u);
}

INSTANTIATE_TEST_SUITE_P(files, damaged, ::testing::ValuesIn(damaged_files),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(bad_inputs, a_key_given_twice_takes_its_last_value_and_says_so)
{
    write_file(cfg_path, "pfd_nbzl_w = 700\npfd_nbzl_w = 900\n");
    enable_use_and_disable();
    EXPECT_TRUE(logged_part(":2: duplicate key \"pfd_nbzl_w\", the last one wins"));
    EXPECT_EQ(cfg_value("pfd_nbzl_w"), "900");
}

TEST_F(bad_inputs, values_that_are_no_32_bit_number_are_named_and_replaced_by_the_default)
{
    write_file(cfg_path,
               "pfd_nbzl_w = 99999999999\nmfd_nbzl_monitor_start = -5000000000\npfd_2_nbzl_x = abc\n");
    enable_use_and_disable();
    EXPECT_TRUE(logged_part("\"pfd_nbzl_w\" holds \"99999999999\", not a whole number"));
    EXPECT_TRUE(logged_part("\"mfd_nbzl_monitor_start\" holds \"-5000000000\""));
    EXPECT_TRUE(logged_part("\"pfd_2_nbzl_x\" holds \"abc\""));
    EXPECT_EQ(cfg_value("pfd_nbzl_w"), "1024");
    EXPECT_EQ(cfg_value("mfd_nbzl_monitor_start"), "-1");
}

TEST_F(bad_inputs, numbers_out_of_any_sensible_range_open_the_windows_floating_and_stay_in_the_file)
{
    write_settings({{"pfd_nbzl_popup_at_start", 7},
                    {"pfd_nbzl_fill_window", -3},
                    {"mfd_nbzl_popup_at_start", INT_MIN},
                    {"mfd_nbzl_monitor_start", INT_MIN},
                    {"pfd_2_nbzl_popup_at_start", INT_MAX},
                    {"pfd_2_nbzl_monitor_start", INT_MAX}});
    start_and_enable();
    host.run_frames(60);
    for (const display *d : {&pfd, &pfd2}) {
        auto w = window(d->title);
        ASSERT_TRUE(w && w->visible) << d->title << " opens at start";
        EXPECT_EQ(w->mode, 0) << d->title << " floats";
    }
    EXPECT_FALSE(window(mfd.title)) << "below 0: not opened at start";
    EXPECT_TRUE(logged("Monitor 2147483647 not Available"));
    host.disable();
    EXPECT_EQ(cfg_value("pfd_2_nbzl_monitor_start"), "2147483647");
    EXPECT_EQ(cfg_value("mfd_nbzl_popup_at_start"), "-2147483648");
}

// ---- saved places no window can have ----

struct unusable_place {
    const char *name;
    int x, y, w, h;
    const char *why;
};

const unusable_place unusable_places[] = {
    {"too_narrow", 100, 100, 255, 600, "narrower than the smallest window"},
    {"negative_width", 100, 100, -1024, 768, "narrower than the smallest window"},
    {"no_height", 100, 100, 800, 0, "no height"},
    {"negative_height", 100, 100, 800, -600, "no height"},
    {"right_edge_past_int_max", INT_MAX - 100, 0, 800, 600, "beyond the screen coordinates"},
    {"top_edge_past_int_max", 0, INT_MAX - 100, 800, 600, "beyond the screen coordinates"},
    {"left_of_every_monitor", -5000, 100, 800, 600, "on no monitor"},
    {"above_every_monitor", 100, 1080, 800, 600, "on no monitor"},
    {"most_negative_corner", INT_MIN, INT_MIN, 800, 600, "on no monitor"},
};

void PrintTo(const unusable_place &p, std::ostream *os)
{
    *os << p.name;
}

class unusable : public bad_inputs, public ::testing::WithParamInterface<unusable_place> {};

TEST_P(unusable, a_saved_popout_place_no_window_can_have_floats_the_window_and_stays_in_the_file)
{
    const auto &p = GetParam();
    write_settings({{"pfd_nbzl_popup_at_start", 1},
                    {"pfd_nbzl_x", p.x},
                    {"pfd_nbzl_y", p.y},
                    {"pfd_nbzl_w", p.w},
                    {"pfd_nbzl_h", p.h}});
    start_and_enable();
    host.mouse_move(700, 500);
    host.command(pfd.command, press::once);
    auto w = window(pfd.title);
    ASSERT_TRUE(w && w->visible);
    EXPECT_FALSE(w->popped_out);
    EXPECT_EQ(w->mode, 0);
    EXPECT_EQ(w->geometry, (rect{188, 884, 1212, 116})) << "centred on the mouse at the display's size";
    EXPECT_TRUE(logged("Saved Popout Location x " + std::to_string(p.x) + " y " + std::to_string(p.y) +
                       " w " + std::to_string(p.w) + " h " + std::to_string(p.h) + " Not Usable (" + p.why +
                       "): Floating Window"));
    EXPECT_FALSE(logged("Auto Popout and Position Window"));

    host.disable();
    EXPECT_EQ(cfg_value("pfd_nbzl_x"), std::to_string(p.x)) << "kept until the user saves a new place";
    EXPECT_EQ(cfg_value("pfd_nbzl_w"), std::to_string(p.w));
    EXPECT_EQ(cfg_value("pfd_nbzl_h"), std::to_string(p.h));
}

INSTANTIATE_TEST_SUITE_P(places, unusable, ::testing::ValuesIn(unusable_places),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(bad_inputs, a_saved_place_partly_on_a_monitor_still_pops_out_there)
{
    write_settings({{"pfd_nbzl_popup_at_start", 1},
                    {"pfd_nbzl_x", 1800},
                    {"pfd_nbzl_y", -100},
                    {"pfd_nbzl_w", 800},
                    {"pfd_nbzl_h", 600}});
    start_and_enable();
    host.command(pfd.command, press::once);
    auto w = window(pfd.title);
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->popped_out);
    EXPECT_EQ(w->os, (rect{1800, 500, 2600, -100}));
}

// ---- monitors ----

TEST_F(bad_inputs, a_saved_monitor_far_beyond_those_present_floats_the_window)
{
    write_settings({{"pfd_nbzl_monitor_start", 3}, {"pfd_nbzl_popup_at_start", 2}});
    start_and_enable();
    host.command(pfd.command, press::once);
    EXPECT_TRUE(logged("Monitor 3 not Available"));
    EXPECT_EQ(window(pfd.title)->mode, 0);
}

TEST_F(bad_inputs, monitors_unplugged_after_the_start_up_leave_the_windows_usable)
{
    ASSERT_TRUE(host.set_monitors(three_monitors)) << host.error();
    start_and_enable();
    host.run_frames(60);
    ASSERT_EQ(window(pfd.title)->mode_monitor, 1);
    ASSERT_EQ(window(mfd.title)->mode_monitor, 2);

    ASSERT_TRUE(host.set_monitors({main_monitor})) << host.error();
    host.mouse_move(960, 540);
    host.command(pfd.command, press::once);
    host.command(pfd.command, press::once);
    auto w = window(pfd.title);
    ASSERT_TRUE(w && w->visible);
    EXPECT_TRUE(logged("Monitor 1 not Available"));
    EXPECT_EQ(w->mode, 0);
    EXPECT_EQ(w->on_monitors, std::vector<int>{0}) << "floating where the pilot can see it";

    // The swap still exchanges the saved monitors, but moves no window onto a missing one.
    host.right_click(w->geometry.right - 10, w->geometry.bottom + 10);
    EXPECT_EQ(window(pfd.title)->mode, 0);
    host.command(mfd.command, press::once);
    EXPECT_FALSE(window(mfd.title)->visible);
    host.disable();
    EXPECT_EQ(cfg_value("pfd_nbzl_monitor_start"), "2");
    EXPECT_EQ(cfg_value("mfd_nbzl_monitor_start"), "1");
}

TEST_F(bad_inputs, a_mouse_far_off_every_monitor_drags_and_resizes_within_the_coordinates)
{
    start_and_enable();
    host.mouse_move(960, 540);
    host.command(pfd.command, press::once);
    const rect start = window(pfd.title)->geometry;
    auto geometry = [&] { return window(pfd.title)->geometry; };

    host.mouse_down(960, start.top - 10);
    for (auto [x, y] : {std::pair{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}, {960, 540}}) {
        host.mouse_move(x, y);
        EXPECT_EQ(geometry().width(), start.width()) << "dragged to " << x << ", " << y;
        EXPECT_EQ(geometry().height(), start.height());
    }
    host.mouse_up(960, 540);

    const rect before = geometry();
    host.mouse_down(before.right - 10, before.bottom + 10);
    host.mouse_move(INT_MAX, before.bottom);
    const rect wide = geometry();
    EXPECT_EQ(wide.left, before.left);
    EXPECT_EQ(wide.top, before.top) << "the top edge stays";
    EXPECT_GT(wide.width(), 1'000'000);
    EXPECT_EQ(wide.height(), static_cast<int>(wide.width() * 0.75)) << "the display keeps its shape";
    host.mouse_move(INT_MIN, before.bottom);
    EXPECT_EQ(geometry().width(), 256) << "no narrower than the smallest window";
    host.mouse_up(INT_MIN, before.bottom);
    EXPECT_TRUE(host.unexpected_calls().empty()) << host.unexpected_calls().front();
}

// ---- images ----

std::string overlay_path(const std::string &plugin_dir)
{
    return plugin_dir + "/resources/popup/nobezel.png";
}

class broken_overlay : public bad_inputs, public ::testing::WithParamInterface<const char *> {};

TEST_P(broken_overlay, leaves_the_windows_without_it_but_working)
{
    const std::string image = read_file(overlay_path(plugin_dir));
    write_file(overlay_path(plugin_dir),
               std::string(GetParam()) == "truncated" ? image.substr(0, 100) : "GIF89a, not a PNG at all");
    enable_use_and_disable();
    EXPECT_TRUE(logged_part("nobezel.png")) << "the image is named";
}

INSTANTIATE_TEST_SUITE_P(images, broken_overlay, ::testing::Values("truncated", "foreign"));

TEST_F(bad_inputs, without_any_cursor_image_the_windows_keep_the_default_cursor)
{
    fs::remove_all(plugin_dir + "/resources/popup/cursors");
    start_and_enable();
    host.mouse_move(960, 540);
    host.command(pfd.command, press::once);
    auto w = window(pfd.title);
    ASSERT_TRUE(w);
    for (auto [x, y] : {std::pair{w->geometry.left + 10, w->geometry.top - 10},
                        {w->geometry.right - 10, w->geometry.top - 10},
                        {w->geometry.right - 10, w->geometry.bottom + 10},
                        {(w->geometry.left + w->geometry.right) / 2, w->geometry.top - 30}}) {
        host.mouse_move(x, y);
        host.run_frames(1);
    }
    EXPECT_TRUE(logged_part("b_close.png"));
    host.disable();
    EXPECT_TRUE(logged("XPLMDisable Complete"));
}

TEST_F(bad_inputs, without_the_resources_folder_the_plugin_runs_and_says_what_is_missing)
{
    fs::remove_all(plugin_dir + "/resources");
    enable_use_and_disable();
    EXPECT_TRUE(logged_part("nobezel.png"));
    EXPECT_TRUE(logged_part("b_close.png"));
}

// ---- install paths ----

class awkward_path : public bad_inputs, public ::testing::WithParamInterface<const char *> {};

TEST_P(awkward_path, the_plugin_runs_whatever_path_the_simulator_reports)
{
    const std::string reported = GetParam();
    {
        working_dir in_tmp(tmp.path()); // relative paths land in the test's own folder
        host.set_reported_plugin_path(reported);
        enable_use_and_disable();
        host.stop();
    }
    EXPECT_TRUE(logged("XPLMStop Complete"));
    if (reported.find('%') != std::string::npos) {
        EXPECT_TRUE(logged_part("%s%n%x%p/")) << "printf directives in a path are logged as text";
    }
}

INSTANTIATE_TEST_SUITE_P(paths, awkward_path,
                         ::testing::Values("", "kyv_pop.xpl", "/kyv_pop.xpl", "%s%n%x%p/lin_x64/kyv_pop.xpl",
                                           "line\nbreak/lin_x64/kyv_pop.xpl",
                                           "C:\\Sim\\Resources\\plugins\\kyv_pop\\win_x64\\kyv_pop.xpl",
                                           "plugins/kyv_pop/lin_x64/", "//lin_x64/kyv_pop.xpl"));

} // namespace
