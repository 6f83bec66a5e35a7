// The display regions picker: a window over a picture of the panel where the
// pilot drags each display's rectangle to its place, with keys for the fine
// steps, and saves the places for the aircraft.

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <cstdio>
#include <string>
#include <vector>

#include "XPLMDefs.h"

#include "cfg_file.h"
#include "gl_image.h"
#include "gl_pixels.h"
#include "plugin_fixture.h"

using simhost::rect;

namespace {

using press = simhost::host::press;

const char *const regions_command = "kyv/popup/regions";
const char *const title = "Display Regions";
constexpr int startup_loops = 51;

// Panel pixels, origin bottom-left, as the picker logs them.
struct region {
    int x, y, w, h;
    bool operator==(const region &o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

void PrintTo(const region &r, std::ostream *os)
{
    *os << "{" << r.x << ", " << r.y << ", " << r.w << " x " << r.h << "}";
}

// The host's default panel's faces.
constexpr region pfd_face{0, 2100, 1024, 768}, mfd_face{1024, 0, 1024, 768};

// The picture of the panel, as the window lays it out: its inside less 8
// boxels at the sides and the top and 102 at the bottom for the controls,
// the panel centred there with its shape kept.
struct picture {
    double left, bottom, scale;
    int x(double panel_x) const { return static_cast<int>(std::lround(left + panel_x * scale)); }
    int y(double panel_y) const { return static_cast<int>(std::lround(bottom + panel_y * scale)); }
};

picture picture_in(const rect &w, int panel_w, int panel_h)
{
    const double area_l = w.left + 8, area_r = w.right - 8, area_b = w.bottom + 102, area_t = w.top - 8;
    const double scale = std::min((area_r - area_l) / panel_w, (area_t - area_b) / panel_h);
    return {area_l + (area_r - area_l - panel_w * scale) / 2,
            area_b + (area_t - area_b - panel_h * scale) / 2, scale};
}

// The status line, between the buttons and the picture: whether any of its
// pixels has this colour.
bool status_shows(const simhost::host &h, const rect &w, const rgba &colour)
{
    const image line = read_image(h.monitor_framebuffer(0), w.left + 8, w.bottom + 82, 400, 14);
    for (int y = 0; y < line.height; y++)
        for (int x = 0; x < line.width; x++)
            if (std::equal(colour.begin(), colour.begin() + 3, line.at(x, y),
                           [](int c, uint8_t p) { return std::abs(c - p) <= 2; }))
                return true;
    return false;
}

const rgba error_red{255, 64, 51, 255}, saved_green{102, 255, 77, 255};

class display_regions : public plugin_fixture {
protected:
    void SetUp() override
    {
        plugin_fixture::SetUp();
        host.set_backgrounds(false);
        ASSERT_TRUE(host.init_gl());
    }

    void open()
    {
        start_and_enable();
        ASSERT_TRUE(host.command(regions_command, press::once)) << host.error();
        host.run_frames(1);
        ASSERT_TRUE(shown());
    }

    bool shown() const
    {
        const auto w = window(title);
        return w && w->visible;
    }

    picture pic() const
    {
        const simhost::aircraft_model &m = host.current_aircraft_model();
        return picture_in(window(title)->geometry, m.panel_width, m.panel_height);
    }

    void drag(int x, int y, int dx, int dy)
    {
        host.mouse_down(x, y);
        host.mouse_move(x + dx / 2, y + dy / 2);
        host.mouse_move(x + dx, y + dy);
        host.mouse_up(x + dx, y + dy);
    }

    // A click on the picture where no rectangle is: the window takes the keys.
    void focus()
    {
        const picture p = pic();
        host.click(p.x(2600), p.y(1500));
        ASSERT_EQ(host.keyboard_focus(), window(title)->number);
    }

    // The display's rectangle as the picker last logged it after an edit.
    region last_logged(const char *display) const
    {
        region r{-1, -1, -1, -1};
        const std::string prefix = std::string(display) + " Region: ";
        for (const std::string &m : plugin_messages())
            if (m.rfind(prefix, 0) == 0)
                sscanf(m.c_str() + prefix.size(), "%d, %d, %d x %d", &r.x, &r.y, &r.w, &r.h);
        return r;
    }
};

TEST_F(display_regions, the_menu_item_and_the_command_each_open_and_close_the_window_centred_on_the_screen)
{
    start_and_enable();
    host.run_frames(startup_loops);
    EXPECT_EQ(host.command_description(regions_command), "Show/hide the display regions picker");
    EXPECT_THAT(host.menu_lines(), ::testing::Contains("    Display Regions -> kyv/popup/regions"));
    EXPECT_FALSE(window(title)) << "made at its first opening";

    for (bool by_menu : {true, false}) {
        SCOPED_TRACE(by_menu ? "menu" : "command");
        auto toggle = [&] {
            return by_menu ? host.choose_menu({"KYV Popups", title})
                           : host.command(regions_command, press::once);
        };
        ASSERT_TRUE(toggle()) << host.error();
        host.run_frames(1);
        const auto w = window(title);
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->visible);
        EXPECT_EQ(w->geometry, (rect{510, 920, 1410, 160}));
        EXPECT_EQ(w->decoration, 1) << "the simulator's own round-rectangle decoration";
        EXPECT_EQ(w->layer, 1) << "floating windows";
        ASSERT_TRUE(toggle()) << host.error();
        host.run_frames(1);
        EXPECT_FALSE(shown());
    }
    EXPECT_EQ(host.windows().size(), 1u) << "the one window, shown and hidden";
}

TEST_F(display_regions, the_picture_is_taken_only_while_the_window_is_shown_and_disable_removes_everything)
{
    start_and_enable();
    const size_t handlers = host.command_handler_count(), callbacks = host.draw_callback_count();
    EXPECT_EQ(handlers, 5u) << "the three displays' commands, the picker's and the remote displays' switch";

    ASSERT_TRUE(host.command(regions_command, press::once));
    host.run_frames(2);
    EXPECT_EQ(host.draw_callback_count(), callbacks + 1) << "the picture's pass, while shown";
    ASSERT_TRUE(host.command(regions_command, press::once));
    host.run_frames(2);
    EXPECT_EQ(host.draw_callback_count(), callbacks) << "none while hidden";

    ASSERT_TRUE(host.command(regions_command, press::once));
    host.run_frames(1);
    ASSERT_TRUE(host.click_close_box(window(title)->number)) << host.error();
    EXPECT_FALSE(shown()) << "its close box hides it";
    host.run_frames(1);
    EXPECT_EQ(host.draw_callback_count(), callbacks) << "gone at the next pass after the close box";
    ASSERT_TRUE(host.command(regions_command, press::once));
    host.run_frames(1);
    EXPECT_TRUE(shown()) << "and the command shows it again";
    EXPECT_EQ(host.draw_callback_count(), callbacks + 1);
    ASSERT_TRUE(host.command(regions_command, press::once));

    ASSERT_TRUE(host.command(regions_command, press::once));
    host.run_frames(1);
    ASSERT_TRUE(host.disable());
    EXPECT_FALSE(window(title)) << "destroyed at disable";
    EXPECT_EQ(host.command_handler_count(), 0u);
    EXPECT_EQ(host.draw_callback_count(), 0u);

    ASSERT_TRUE(host.enable());
    ASSERT_TRUE(host.command(regions_command, press::once)) << host.error();
    host.run_frames(1);
    EXPECT_TRUE(shown()) << "made again after an enable";
}

// Where the face is one bright colour for 16 pixels around: far from the
// dark placeholder, and where scaling cannot blur it.
bool bright_and_uniform(const image &face, int x, int y, rgba &colour)
{
    const uint8_t *c = face.at(x, y);
    colour = {c[0], c[1], c[2], c[3]};
    if (std::max({c[0], c[1], c[2]}) < 100)
        return false;
    for (int v = y - 16; v <= y + 16; v++)
        for (int u = x - 16; u <= x + 16; u++)
            if (!std::equal(c, c + 4, face.at(u, v)))
                return false;
    return true;
}

TEST_F(display_regions, the_window_shows_the_whole_panel_scaled_to_its_picture_area)
{
    // The picture is taken in the first frame after the opening: the panel
    // still holds what it was taken from, for the panel moves from frame to frame.
    open();
    const picture p = pic();
    const unsigned screen = host.monitor_framebuffer(0);
    int compared = 0;
    for (const region &f : {pfd_face, mfd_face}) {
        const image face = read_image(host.panel_framebuffer(), f.x, f.y, f.w, f.h);
        // Below the rectangles' labels.
        for (int y = 20; y < f.h - 200; y += 20) {
            for (int x = 20; x < f.w - 20; x += 20) {
                rgba want{};
                if (!bright_and_uniform(face, x, y, want))
                    continue;
                const rgba got = pixel(screen, p.x(f.x + x), p.y(f.y + y));
                for (size_t c = 0; c < 3; c++)
                    EXPECT_NEAR(got[c], want[c], 8) << "panel " << f.x + x << "," << f.y + y;
                compared++;
            }
        }
    }
    EXPECT_GT(compared, 20);
}

TEST_F(display_regions, a_drag_inside_a_rectangle_moves_it_by_the_dragged_amount_in_panel_pixels)
{
    open();
    const picture p = pic();
    drag(p.x(512), p.y(2484), 50, -40);
    const region r = last_logged("PFD");
    EXPECT_NEAR(r.x, 50 / p.scale, 0.5);
    EXPECT_NEAR(r.y, 2100 - 40 / p.scale, 0.5);
    EXPECT_EQ(r.w, 1024);
    EXPECT_EQ(r.h, 768);
}

TEST_F(display_regions, a_corner_drag_resizes_from_that_corner_at_4_3_with_the_opposite_corner_fixed)
{
    open();
    const picture p = pic();
    // The PFD's bottom-right corner, straight left.
    drag(p.x(1024), p.y(2100), -30, 0);
    const region r = last_logged("PFD");
    EXPECT_NEAR(r.w, 1024 - 30 / p.scale, 0.5);
    EXPECT_EQ(r.h, static_cast<int>(std::lround(r.w * 0.75)));
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y + r.h, 2868) << "the top-left corner stays";
}

TEST_F(display_regions, with_keep_4_3_turned_off_by_its_key_a_corner_drag_changes_the_shape)
{
    open();
    focus();
    ASSERT_TRUE(host.key_press('k', XPLM_VK_K, 0));
    const picture p = pic();
    drag(p.x(1024), p.y(2100), -30, 20);
    const region r = last_logged("PFD");
    EXPECT_NEAR(r.w, 1024 - 30 / p.scale, 0.5);
    EXPECT_NEAR(r.h, 768 - 20 / p.scale, 0.5);
    EXPECT_EQ(r.y + r.h, 2868);

    ASSERT_TRUE(host.key_press('k', XPLM_VK_K, 0));
    drag(p.x(r.w), p.y(r.y), 10, 0);
    const region again = last_logged("PFD");
    EXPECT_EQ(again.h, static_cast<int>(std::lround(again.w * 0.75))) << "4:3 again";
}

struct key_step {
    char key;
    int vkey, flags;
};

struct key_case {
    const char *name;
    std::vector<key_step> keys;
    const char *display;
    region to;
};

class region_keys : public display_regions, public ::testing::WithParamInterface<key_case> {};

TEST_P(region_keys, with_the_keyboard_an_arrow_moves_the_selected_rectangle_by_one_or_by_ten_with_shift)
{
    const key_case &c = GetParam();
    open();
    focus();
    for (const key_step &k : c.keys)
        ASSERT_TRUE(host.key_press(k.key, k.vkey, k.flags));
    EXPECT_EQ(last_logged(c.display), c.to);
}

constexpr int shift = xplm_ShiftFlag;

INSTANTIATE_TEST_SUITE_P(
    keys, region_keys,
    ::testing::Values(key_case{"right", {{29, XPLM_VK_RIGHT, 0}}, "PFD", {1, 2100, 1024, 768}},
                      key_case{"shift_right", {{29, XPLM_VK_RIGHT, shift}}, "PFD", {10, 2100, 1024, 768}},
                      key_case{"down", {{31, XPLM_VK_DOWN, 0}}, "PFD", {0, 2099, 1024, 768}},
                      key_case{"shift_down_twice",
                               {{31, XPLM_VK_DOWN, shift}, {31, XPLM_VK_DOWN, shift}},
                               "PFD",
                               {0, 2080, 1024, 768}},
                      key_case{"up_at_the_top", {{30, XPLM_VK_UP, 0}}, "PFD", {0, 2100, 1024, 768}},
                      key_case{"left_at_the_edge", {{28, XPLM_VK_LEFT, shift}}, "PFD", {0, 2100, 1024, 768}},
                      key_case{"two_selects_the_mfd",
                               {{'2', XPLM_VK_2, 0}, {28, XPLM_VK_LEFT, 0}, {30, XPLM_VK_UP, shift}},
                               "MFD",
                               {1023, 10, 1024, 768}},
                      key_case{"three_selects_the_pfd2",
                               {{'3', XPLM_VK_3, 0}, {28, XPLM_VK_LEFT, 0}},
                               "PFD2",
                               {2047, 0, 1024, 768}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(display_regions, keys_do_nothing_until_a_click_gives_the_window_the_keyboard)
{
    open();
    EXPECT_FALSE(host.key_press(29, XPLM_VK_RIGHT, 0)) << "the simulator took it";
    host.click(100, 100); // outside the window
    EXPECT_FALSE(host.key_press(29, XPLM_VK_RIGHT, 0));
    EXPECT_EQ(last_logged("PFD"), (region{-1, -1, -1, -1})) << "nothing edited";
    focus();
    EXPECT_TRUE(host.key_press(29, XPLM_VK_RIGHT, 0));
    EXPECT_EQ(last_logged("PFD"), (region{1, 2100, 1024, 768}));
}

struct limit_case {
    const char *name;
    const char *display;
    double press_x, press_y; // panel pixels
    int dx, dy;              // boxels
    region to;
};

class region_limits : public display_regions, public ::testing::WithParamInterface<limit_case> {};

TEST_P(region_limits, a_drag_past_the_panels_edges_or_below_64_x_48_stops_there)
{
    const limit_case &c = GetParam();
    open();
    const picture p = pic();
    drag(p.x(c.press_x), p.y(c.press_y), c.dx, c.dy);
    EXPECT_EQ(last_logged(c.display), c.to);
}

INSTANTIATE_TEST_SUITE_P(
    edges, region_limits,
    ::testing::Values(
        limit_case{"moved_past_the_left_and_top", "MFD", 1536, 384, -2000, 2000, {0, 2100, 1024, 768}},
        limit_case{"moved_past_the_right_and_bottom", "PFD", 512, 2484, 2000, -2000, {2048, 0, 1024, 768}},
        limit_case{"shrunk_past_the_opposite_corner", "PFD", 1024, 2100, -2000, 2000, {0, 2820, 64, 48}},
        limit_case{"grown_past_the_panel", "MFD", 1024, 768, -2000, 2000, {0, 0, 2048, 1536}}),
    [](const auto &info) { return std::string(info.param.name); });

// A panel of another size, where the built-in places do not fit.
simhost::aircraft_model small_panel()
{
    simhost::aircraft_model m;
    // A name with a space and a letter beyond ASCII, as pilots' aircraft have.
    m.file = "Tessa G1000 Ü.acf";
    m.panel_width = 3072;
    m.panel_height = 1536;
    m.faces = {{{0, 768, 1024, 768}, {1024, 0, 1024, 768}, {2048, 0, 1024, 768}}};
    return m;
}

TEST_F(display_regions, the_edits_stay_inside_the_aircrafts_own_panel_and_a_failed_save_shows_why_in_red)
{
    ASSERT_TRUE(host.load_aircraft(small_panel(), {})) << host.error();
    open();
    const std::string before = read_file(cfg_path);
    focus();
    ASSERT_TRUE(host.key_press(0, XPLM_VK_S, 0));
    host.run_frames(1);
    const rect w = window(title)->geometry;
    EXPECT_TRUE(status_shows(host, w, error_red)) << "the built-in PFD lies above this panel";

    // The MFD dragged far up and right stops at this panel's edges.
    const picture p = pic();
    drag(p.x(1536), p.y(384), 3000, 3000);
    EXPECT_EQ(last_logged("MFD"), (region{2048, 768, 1024, 768}));
    host.run_frames(1);
    EXPECT_FALSE(status_shows(host, w, error_red)) << "until the next edit";
    EXPECT_EQ(read_file(cfg_path), before) << "the picker never writes popups.cfg";
}

#ifndef _WIN32
// A folder no one may write into for the life of the object. Root writes
// past a folder's mode, so there the folder is made immutable as well, where
// the file system allows it.
class read_only_folder {
public:
    explicit read_only_folder(std::string dir) : dir_(std::move(dir))
    {
        std::filesystem::permissions(std::filesystem::u8path(dir_), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        if (!holds())
            immutable_ = std::system(("chattr +i '" + dir_ + "' 2>/dev/null").c_str()) == 0;
    }
    ~read_only_folder()
    {
        if (immutable_)
            (void)std::system(("chattr -i '" + dir_ + "'").c_str());
        std::filesystem::permissions(std::filesystem::u8path(dir_), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }
    read_only_folder(const read_only_folder &) = delete;
    read_only_folder &operator=(const read_only_folder &) = delete;

    bool holds() const
    {
        const auto probe = std::filesystem::u8path(dir_ + "/probe");
        std::FILE *f = std::fopen(probe.string().c_str(), "w");
        if (f == nullptr)
            return true;
        std::fclose(f);
        std::filesystem::remove(probe);
        return false;
    }

private:
    std::string dir_;
    bool immutable_ = false;
};
#endif

class saved_regions : public display_regions {
protected:
    // The PFD full screen on a monitor of its own, to the main one's right.
    void SetUp() override
    {
        plugin_fixture::SetUp();
        ASSERT_TRUE(host.set_monitors({{0, 1080, 1920, 0}, {1920, 768, 2944, 0}}));
        host.set_backgrounds(false);
        ASSERT_TRUE(host.init_gl());
        write_settings({{"pfd_nbzl_monitor_start", 1}});
    }

    // The orientation mark in the PFD window's top-left corner.
    bool pfd_shows_its_mark() const
    {
        return pixel(host.monitor_framebuffer(1), 12, 750) == rgba{255, 0, 255, 255};
    }
};

TEST_F(saved_regions, save_writes_the_aircrafts_file_and_the_display_shows_its_new_place_in_the_same_frame)
{
    ASSERT_TRUE(host.load_aircraft(small_panel(), {})) << host.error();
    open();
    ASSERT_TRUE(host.command(pfd.command, press::once));
    host.run_frames(1);
    const std::string before = read_file(cfg_path);
    EXPECT_FALSE(pfd_shows_its_mark()) << "the built-in place, above this panel";

    focus();
    ASSERT_TRUE(host.key_press(31, XPLM_VK_DOWN, 0));
    ASSERT_EQ(last_logged("PFD"), (region{0, 768, 1024, 768})) << "brought down inside the panel";
    ASSERT_TRUE(host.key_press(0, XPLM_VK_S, 0));
    host.run_frames(1);
    EXPECT_TRUE(pfd_shows_its_mark()) << "the PFD's face, from the frame after the save";
    EXPECT_TRUE(status_shows(host, window(title)->geometry, saved_green));

    const auto aircraft_dir = std::filesystem::u8path(settings_dir + "/aircraft");
    ASSERT_TRUE(std::filesystem::is_directory(aircraft_dir));
    std::vector<std::string> files;
    for (const auto &f : std::filesystem::directory_iterator(aircraft_dir))
        files.push_back(f.path().filename().u8string());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], "Tessa G1000 Ü.acf.cfg");
    std::map<std::string, std::string> saved;
    for (const auto &[key, value] : cfg_entries(read_file(settings_dir + "/aircraft/" + files[0])))
        saved[key] = value;
    const std::map<std::string, std::string> want = {
        {"pfd_nbzl_source", "auto"},  {"pfd_nbzl_panel_x", "0"},      {"pfd_nbzl_panel_y", "768"},
        {"pfd_nbzl_panel_w", "1024"}, {"pfd_nbzl_panel_h", "768"},    {"mfd_nbzl_source", "auto"},
        {"mfd_nbzl_panel_x", "1024"}, {"mfd_nbzl_panel_y", "0"},      {"mfd_nbzl_panel_w", "1024"},
        {"mfd_nbzl_panel_h", "768"},  {"pfd_2_nbzl_source", "auto"},  {"pfd_2_nbzl_panel_x", "2048"},
        {"pfd_2_nbzl_panel_y", "0"},  {"pfd_2_nbzl_panel_w", "1024"}, {"pfd_2_nbzl_panel_h", "768"},
        {"panel_width", "3072"},      {"panel_height", "1536"}};
    EXPECT_EQ(saved, want);
    EXPECT_EQ(read_file(cfg_path), before) << "the picker never writes popups.cfg";

    ASSERT_TRUE(host.load_aircraft(small_panel(), {})) << host.error();
    host.run_frames(1);
    EXPECT_TRUE(
        logged("PFD Picture: Panel (0, 768, 1024, 768) from settings/aircraft/Tessa G1000 Ü.acf.cfg"));
    EXPECT_TRUE(pfd_shows_its_mark()) << "loaded again: the saved place";
}

TEST_F(saved_regions, a_save_into_a_read_only_folder_fails_says_why_and_changes_nothing)
{
#ifdef _WIN32
    GTEST_SKIP() << "a folder's read-only mark does not keep Windows from writing into it";
#else
    ASSERT_TRUE(host.load_aircraft(small_panel(), {})) << host.error();
    const std::string folder = settings_dir + "/aircraft";
    std::filesystem::create_directories(folder);
    read_only_folder guard(folder);
    if (!guard.holds())
        GTEST_SKIP() << "this user writes into read-only folders";
    open();
    ASSERT_TRUE(host.command(pfd.command, press::once));
    host.run_frames(1);
    const std::string before = read_file(cfg_path);
    focus();
    ASSERT_TRUE(host.key_press(31, XPLM_VK_DOWN, 0));
    ASSERT_TRUE(host.key_press(0, XPLM_VK_S, 0));
    host.run_frames(1);
    EXPECT_TRUE(status_shows(host, window(title)->geometry, error_red));
    const auto msgs = plugin_messages();
    EXPECT_TRUE(std::any_of(msgs.begin(), msgs.end(), [](const std::string &m) {
        return m.rfind("Display places not saved: cannot write ", 0) == 0;
    })) << testing::PrintToString(msgs);
    EXPECT_FALSE(pfd_shows_its_mark()) << "the PFD keeps the place it had";
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_EQ(read_file(cfg_path), before);
    EXPECT_EQ(last_logged("PFD"), (region{0, 768, 1024, 768})) << "the edit is still there to save";
#endif
}

} // namespace
