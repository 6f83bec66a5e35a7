// The live displays: each window shows its rectangle of the panel the
// simulator renders, copied on the graphics card at the capture rate, with
// the overlay over it.

#include "plugin_fixture.h"

#include <gmock/gmock.h>

#include <chrono>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <thread>

#include "gl_image.h"
#include "gl_pixels.h"

namespace {

using press = simhost::host::press;

// Where each display's rectangle lies in the panel (origin bottom-left).
struct source {
    const display &d;
    int x, y;
};
const source sources[] = {{pfd, 0, 2100}, {mfd, 1024, 0}, {pfd2, 2048, 0}};
const int display_w = 1024, display_h = 768;

const rgba black{0, 0, 0, 255};
const rgba magenta{255, 0, 255, 255};

// Longer than one capture period (50 ms), so the next pass is due.
void wait_capture_period()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}

// The simulator's desk: the main monitor and a 1024 x 768 screen for each
// display, with each display full screen on its own.
class live_displays : public plugin_fixture {
protected:
    void SetUp() override
    {
        plugin_fixture::SetUp();
        ASSERT_TRUE(host.set_monitors(
            {{0, 1080, 1920, 0}, {1920, 768, 2944, 0}, {2944, 768, 3968, 0}, {3968, 768, 4992, 0}}));
        host.set_backgrounds(false);
        ASSERT_TRUE(host.init_gl());
        write_settings(
            {{"pfd_nbzl_monitor_start", 1}, {"mfd_nbzl_monitor_start", 2}, {"pfd_2_nbzl_monitor_start", 3}});
    }

    void open(const display &d) { ASSERT_TRUE(host.command(d.command, press::once)); }

    void remove_overlay() { std::filesystem::remove(plugin_dir + "/resources/popup/nobezel.png"); }

    image panel_source(const source &s) const
    {
        return read_image(host.panel_framebuffer(), s.x, s.y, display_w, display_h);
    }
    image monitor(size_t i, int w = display_w, int h = display_h) const
    {
        return read_image(host.monitor_framebuffer(i), 0, 0, w, h);
    }
};

// The placement of every display: full width, the lower 99.5 % of the content area.
quad_place display_quad(int content_w, int content_h)
{
    return {0, 0, static_cast<double>(content_w), content_h * 0.995};
}

// Inside the overlay's frame and rounded corners, below its top strip.
image interior(const image &full)
{
    const int margin = 12;
    image part;
    part.width = full.width - 2 * margin;
    part.height = full.height - 2 * margin;
    for (int y = margin; y < full.height - margin; y++)
        for (int x = margin; x < full.width - margin; x++)
            part.rgba.insert(part.rgba.end(), full.at(x, y), full.at(x, y) + 4);
    return part;
}

TEST_F(live_displays, each_window_shows_its_own_rectangle_of_the_panel_upright_and_one_to_one)
{
    start_and_enable();
    for (const source &s : sources)
        open(s.d);
    host.run_frames(1);

    for (size_t i = 0; i < 3; i++) {
        SCOPED_TRACE(sources[i].d.title);
        const image shown = monitor(i + 1);
        const quad_place q = display_quad(display_w, display_h);
        // Compared inside the overlay's frame: the quad shifted by the margin.
        const quad_place inner{q.x - 12, q.y - 12, q.w, q.h};
        const double own = mismatch(interior(shown), panel_source(sources[i]), inner);
        EXPECT_LT(own, 0.0005);
        for (size_t other = 0; other < 3; other++) {
            if (other == i)
                continue;
            // The two PFDs differ only in their name labels.
            EXPECT_GT(mismatch(interior(shown), panel_source(sources[other]), inner), own + 0.0005)
                << "not the rectangle of " << sources[other].d.title;
        }

        // The orientation mark: 24 x 24 panel pixels in the display's
        // top-left corner, under the overlay's 4-row strip and 2-column frame.
        const unsigned fbo = host.monitor_framebuffer(i + 1);
        for (int x = 2; x < 24; x++)
            EXPECT_EQ(pixel(fbo, x, 750), magenta) << "column " << x;
        EXPECT_NE(pixel(fbo, 24, 750), magenta) << "one panel pixel per window pixel across";
        int rows = 0;
        for (int y = 700; y < display_h; y++)
            rows += pixel(fbo, 16, y) == magenta ? 1 : 0;
        EXPECT_GE(rows, 23);
        EXPECT_LE(rows, 24);
        EXPECT_NE(pixel(fbo, 16, 16), magenta) << "upright: the mark is at the top";
        EXPECT_NE(pixel(fbo, 1000, 750), magenta) << "not mirrored";
    }
}

TEST_F(live_displays, the_strip_along_the_top_of_the_content_area_holds_no_panel_pixels)
{
    remove_overlay();
    start_and_enable();
    open(pfd);
    host.run_frames(1);
    const unsigned fbo = host.monitor_framebuffer(1);
    // 768 x 0.995 = 764.16: rows 0 to 763 show the display, 764 to 767 nothing.
    EXPECT_EQ(pixel(fbo, 16, 763), magenta);
    const image top = read_image(fbo, 0, 764, display_w, 4);
    for (int y = 0; y < top.height; y++)
        for (int x = 0; x < top.width; x++)
            ASSERT_EQ(rgba({top.at(x, y)[0], top.at(x, y)[1], top.at(x, y)[2], top.at(x, y)[3]}), black)
                << "at " << x << ", " << 764 + y;
}

// The PFD full screen on a second monitor of the given size, without the
// overlay so that every pixel shown is the display's or nothing.
class live_display_shapes : public plugin_fixture {
protected:
    void SetUp() override
    {
        plugin_fixture::SetUp();
        std::filesystem::remove(plugin_dir + "/resources/popup/nobezel.png");
        host.set_backgrounds(false);
    }

    image shown_on(int w, int h, int fill_window)
    {
        EXPECT_TRUE(host.set_monitors({{0, 1080, 1920, 0}, {1920, h, 1920 + w, 0}}));
        EXPECT_TRUE(host.init_gl());
        write_settings({{"pfd_nbzl_monitor_start", 1}, {"pfd_nbzl_fill_window", fill_window}});
        start_and_enable();
        host.command(pfd.command, simhost::host::press::once);
        host.run_frames(1);
        return read_image(host.monitor_framebuffer(1), 0, 0, w, h);
    }
    image pfd_source() const { return read_image(host.panel_framebuffer(), 0, 2100, display_w, display_h); }
};

TEST_F(live_display_shapes, fill_window_stretches_the_display_over_the_whole_window)
{
    const image shown = shown_on(1280, 1024, 1);
    EXPECT_LT(mismatch(shown, pfd_source(), display_quad(1280, 1024)), 0.005);
    EXPECT_EQ(pixel(host.monitor_framebuffer(1), 16, 1017), magenta) << "the mark near the window's top";
}

// Without fill_window, on a monitor of each shape: where the content lies.
struct shape_case {
    const char *name;
    int w, h;                       // the monitor, and so the window
    int left, content_w, content_h; // the content rectangle, its bottom at 0
};

class display_shape : public live_display_shapes, public ::testing::WithParamInterface<shape_case> {};

TEST_P(display_shape, without_fill_window_the_display_is_whole_in_its_shape_and_mouse_and_picture_agree)
{
    const shape_case &c = GetParam();
    const image shown = shown_on(c.w, c.h, 0);
    const quad_place q = display_quad(c.content_w, c.content_h);
    EXPECT_LT(mismatch(shown, pfd_source(), {static_cast<double>(c.left), 0, q.w, q.h}), 0.005);
    const unsigned fbo = host.monitor_framebuffer(1);
    // The last row whose centre the display covers.
    const int top_row = static_cast<int>(std::lround(q.h)) - 1;
    // The mark in the display's top rows (the very top row blends at the texture's edge).
    EXPECT_EQ(pixel(fbo, c.left + 16, top_row - 4), magenta) << "the display's top is seen";
    for (int y = top_row + 1; y < c.h; y++)
        EXPECT_EQ(pixel(fbo, c.left + c.content_w / 2, y), black) << "row " << y << " lies above the display";
    for (int y : {0, c.h / 2, c.h - 1}) {
        for (int x : {c.left - 1, c.left + c.content_w}) {
            if (x >= 0 && x < c.w) {
                EXPECT_EQ(pixel(fbo, x, y), black) << x << ", " << y << " lies beside the display";
            }
        }
    }

    // The mouse meets the display where it is drawn: its centre, then its close button.
    const int x0 = 1920 + c.left;
    host.click(x0 + c.content_w / 2, c.content_h / 2);
    EXPECT_EQ(plugin_messages().back(), "Click at 512.00 384.00");
    host.click(x0 + 10, c.content_h - 10);
    EXPECT_FALSE(window(pfd.title)->visible) << "closed by the display's top-left corner";
}

INSTANTIATE_TEST_SUITE_P(
    shapes, display_shape,
    // 1280 x 768 / 1024 = 960 rows; 1080 x 1024 / 768 = 1440 columns, centred.
    ::testing::Values(shape_case{"five_by_four_at_the_bottom_edge", 1280, 1024, 0, 1280, 960},
                      shape_case{"sixteen_by_nine_full_height_centred", 1920, 1080, 240, 1440, 1080},
                      shape_case{"twenty_one_by_nine_full_height_centred", 2560, 1080, 560, 1440, 1080}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(live_displays, the_window_follows_the_panel_only_in_passes_that_render_it)
{
    start_and_enable();
    open(pfd);
    host.run_frames(1);
    const quad_place q = display_quad(display_w, display_h);
    const quad_place inner{q.x - 12, q.y - 12, q.w, q.h};
    auto shown = [&] { return interior(monitor(1)); };
    const image first = panel_source(sources[0]);
    EXPECT_LT(mismatch(shown(), first, inner), 0.0005);

    host.set_panel_passes({1});
    wait_capture_period();
    host.run_frames(1);
    const image moved_on = panel_source(sources[0]);
    ASSERT_GT(mismatch(moved_on, first, {0, 0, display_w, display_h}, 0), 0.0) << "the panel changes";
    EXPECT_LT(mismatch(shown(), first, inner), 0.0005) << "nothing captured without the lit pass";

    host.set_panel_passes({1, 2});
    wait_capture_period();
    host.run_frames(1);
    const image now = panel_source(sources[0]);
    EXPECT_LT(mismatch(shown(), now, inner), 0.0005);
    EXPECT_GT(mismatch(shown(), first, inner), 0.0005) << "the newer picture";
}

TEST_F(live_displays, a_hidden_window_lets_go_of_its_texture_and_framebuffer_at_the_next_rendering_pass)
{
    // The PFD pops out into an OS window; the MFD is full screen on its monitor.
    write_settings({{"pfd_nbzl_popup_at_start", 1}, {"mfd_nbzl_monitor_start", 2}});
    start_and_enable();
    host.run_frames(1);
    const std::set<unsigned> textures = live_textures(), framebuffers = live_framebuffers();

    open(mfd);
    host.run_frames(1);
    EXPECT_EQ(live_framebuffers().size(), framebuffers.size() + 1) << "one framebuffer for the region";
    EXPECT_GE(live_textures().size(), textures.size() + 2) << "the region's and the overlay's";
    open(mfd);
    host.run_frames(1);
    EXPECT_EQ(live_framebuffers(), framebuffers) << "closed by its command";
    EXPECT_EQ(live_textures(), textures);

    open(pfd);
    host.run_frames(2); // its OS window appears, then is drawn
    const auto w = window(pfd.title);
    ASSERT_TRUE(w && w->popped_out);
    // Closed from its OS window: the simulator hides it without telling the
    // plugin, and drops the OS window's picture (a texture and a framebuffer).
    ASSERT_TRUE(host.close_os_window(w->number));
    host.set_panel_passes({1});
    host.run_frames(1);
    EXPECT_EQ(live_framebuffers().size(), framebuffers.size() + 1)
        << "the region keeps its framebuffer through a pass that does not render the panel";
    EXPECT_GE(live_textures().size(), textures.size() + 2) << "and its texture and the overlay's";
    host.set_panel_passes({1, 2});
    host.run_frames(1);
    EXPECT_EQ(live_framebuffers(), framebuffers);
    EXPECT_EQ(live_textures(), textures) << "the region's texture and the overlay renderer's are gone";
}

TEST_F(live_displays, after_disable_and_enable_the_windows_are_live_again)
{
    start_and_enable();
    EXPECT_EQ(host.draw_callback_count(), 1u);
    ASSERT_TRUE(host.disable());
    EXPECT_EQ(host.draw_callback_count(), 0u);
    ASSERT_TRUE(host.enable());
    EXPECT_EQ(host.draw_callback_count(), 1u) << "registered again, once";

    for (const source &s : sources)
        open(s.d);
    host.run_frames(1);
    for (size_t i = 0; i < 3; i++)
        EXPECT_LT(mismatch(monitor(i + 1), panel_source(sources[i]), display_quad(display_w, display_h)),
                  0.05)
            << sources[i].d.title;
    EXPECT_TRUE(host.unexpected_calls().empty());
}

} // namespace

namespace {

// The simulator's habits that the displays must come through: a texture
// cache that skips binds it believes done, freed texture names handed out
// again, a tinted current colour (all on by default), several panel passes a
// frame and depth left by the windows drawn before.
class strict_simulator : public live_displays {
protected:
    const quad_place inner = [] {
        const quad_place q = display_quad(display_w, display_h);
        return quad_place{q.x - 12, q.y - 12, q.w, q.h};
    }();

    // The display's own rectangle of the panel, in its true colours.
    double off_panel(size_t monitor_index, const source &s) const
    {
        return mismatch(interior(monitor(monitor_index)), panel_source(s), inner);
    }
};

TEST_F(strict_simulator, a_display_closed_and_reopened_shows_its_picture_and_overlay_each_time)
{
    start_and_enable();
    // Opened in a view without the lit pass: the overlay's texture is made
    // first, the display's only once the pilot is in the 3D cockpit.
    host.set_panel_passes({1});
    open(pfd);
    host.run_frames(1);
    host.set_panel_passes({1, 2});
    host.run_frames(1);
    ASSERT_LT(off_panel(1, sources[0]), 0.0005);
    const unsigned fbo = host.monitor_framebuffer(1);
    const rgba frame_left = pixel(fbo, 0, 384), strip_top = pixel(fbo, 512, 767);

    for (int round = 1; round <= 3; round++) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Frames that take no time: the close and the reopen fit in one capture period.
        open(pfd);
        host.run_frames(1);
        open(pfd);
        host.run_frames(1);
        EXPECT_LT(off_panel(1, sources[0]), 0.0005) << "the display's picture, from the first frame";
        EXPECT_EQ(pixel(fbo, 0, 384), frame_left) << "the overlay's frame";
        EXPECT_EQ(pixel(fbo, 512, 767), strip_top) << "the overlay's top strip";
    }
}

TEST_F(strict_simulator, with_two_panel_passes_a_frame_the_display_shows_the_lit_one)
{
    start_and_enable(); // the unlit pass, then the lit one: the host's default
    open(pfd);
    host.run_frames(1);
    EXPECT_LT(off_panel(1, sources[0]), 0.0005);
    const image shown = monitor(1);

    // Frames without the panel change nothing, and keep the picture.
    host.set_panel_passes({});
    wait_capture_period();
    host.run_frames(2);
    EXPECT_EQ(mismatch(monitor(1), shown, {0, 0, display_w, display_h}, 0), 0.0);
}

TEST_F(strict_simulator, overlapping_displays_show_the_front_one_whatever_the_depth_under_them)
{
    // Both full screen on the same monitor; the MFD, opened last, in front.
    write_settings({{"pfd_nbzl_monitor_start", 1}, {"mfd_nbzl_monitor_start", 1}});
    start_and_enable();
    open(pfd);
    open(mfd);
    for (auto depth : {simhost::host::window_depth::cleared, simhost::host::window_depth::kept}) {
        SCOPED_TRACE(depth == simhost::host::window_depth::kept ? "depth kept" : "depth cleared");
        host.set_window_depth(depth);
        wait_capture_period();
        host.run_frames(1);
        EXPECT_LT(off_panel(1, sources[1]), 0.0005);
    }
}

} // namespace

namespace {

// The simulator's own cockpit devices as a display's picture: on X-Plane 12.1
// a display whose device the user's aircraft uses shows that device's
// screen; everywhere else its panel rectangle.
using device = simhost::host::device;
using sim_version = simhost::host::sim_version;
using aircraft = std::vector<simhost::host::cockpit_device>;

// The simulator's own G1000 aircraft: PFD 1 and MFD, no PFD 2.
const aircraft g1000_aircraft = {{device::g1000_pfd_1}, {device::g1000_mfd}};
const device devices[] = {device::g1000_pfd_1, device::g1000_mfd, device::g1000_pfd_2};

class cockpit_device_displays : public strict_simulator {
protected:
    image device_screen(device d) const
    {
        int w = 1024, h = 768;
        for (const auto &c : flown)
            if (c.id == d) {
                w = c.width;
                h = c.height;
            }
        return read_image(host.device_framebuffer(d), 0, 0, w, h);
    }
    // Display i (PFD, MFD, PFD2) against its device's screen as the host left it.
    double off_device(size_t i) const
    {
        return mismatch(interior(monitor(i + 1)), device_screen(devices[i]), inner);
    }
    double off_panel_of(size_t i) const { return off_panel(i + 1, sources[i]); }

    void fly(const aircraft &a)
    {
        flown = a;
        ASSERT_TRUE(host.load_aircraft(a)) << host.error();
    }
    void open_all()
    {
        for (const source &s : sources)
            open(s.d);
    }
    bool interior_black(size_t i) const
    {
        const image in = interior(monitor(i + 1));
        for (int y = 0; y < in.height; y += 7)
            for (int x = 0; x < in.width; x += 7)
                if (in.at(x, y)[0] != 0 || in.at(x, y)[1] != 0 || in.at(x, y)[2] != 0)
                    return false;
        return true;
    }

    aircraft flown;
};

struct source_case {
    const char *name;
    sim_version version;
    aircraft flown;
    std::array<bool, 3> from_device; // PFD, MFD, PFD2
    std::array<const char *, 3> logged;
};

class picture_source : public cockpit_device_displays, public ::testing::WithParamInterface<source_case> {};

TEST_P(picture_source, each_display_shows_its_device_where_the_simulator_and_the_aircraft_have_one)
{
    const source_case &c = GetParam();
    host.set_sim_version(c.version);
    fly(c.flown);
    start_and_enable();
    open_all();
    host.run_frames(1);

    const bool api = c.version == sim_version::xp12_1;
    EXPECT_EQ(host.avionics_registration_count(), api ? 3u : 0u);
    EXPECT_EQ(logged("The simulator has no avionics functions: every display shows the panel"), !api);
    for (size_t i = 0; i < 3; i++) {
        SCOPED_TRACE(sources[i].d.title);
        EXPECT_TRUE(logged(c.logged[i]));
        if (c.from_device[i]) {
            // Whole, upright and stretched over the content area, whatever its size.
            EXPECT_LT(off_device(i), 0.005);
            EXPECT_GT(off_panel_of(i), 0.5);
            EXPECT_EQ(pixel(host.monitor_framebuffer(i + 1), 16, 750), (rgba{0, 255, 255, 255}))
                << "the device's mark in the window's top-left corner";
        } else {
            EXPECT_LT(off_panel_of(i), 0.0005);
        }
    }
    EXPECT_TRUE(host.unexpected_calls().empty()) << testing::PrintToString(host.unexpected_calls());
}

INSTANTIATE_TEST_SUITE_P(aircraft_and_simulators, picture_source,
                         ::testing::Values(source_case{"a_default_g1000_aircraft",
                                                       sim_version::xp12_1,
                                                       g1000_aircraft,
                                                       {true, true, false},
                                                       {"PFD Picture: Cockpit Device G1000 PFD 1",
                                                        "MFD Picture: Cockpit Device G1000 MFD",
                                                        "PFD2 Picture: Panel (2048, 0, 1024, 768) built in"}},
                                           source_case{"the_same_aircraft_on_x_plane_11",
                                                       sim_version::xp11,
                                                       g1000_aircraft,
                                                       {false, false, false},
                                                       {"PFD Picture: Panel (0, 2100, 1024, 768) built in",
                                                        "MFD Picture: Panel (1024, 0, 1024, 768) built in",
                                                        "PFD2 Picture: Panel (2048, 0, 1024, 768) built in"}},
                                           source_case{"a_panel_aircraft",
                                                       sim_version::xp12_1,
                                                       {},
                                                       {false, false, false},
                                                       {"PFD Picture: Panel (0, 2100, 1024, 768) built in",
                                                        "MFD Picture: Panel (1024, 0, 1024, 768) built in",
                                                        "PFD2 Picture: Panel (2048, 0, 1024, 768) built in"}},
                                           source_case{"device_screens_of_other_sizes",
                                                       sim_version::xp12_1,
                                                       {{device::g1000_pfd_1, 1280, 800},
                                                        {device::g1000_mfd, 800, 600},
                                                        {device::g1000_pfd_2, 1024, 600}},
                                                       {true, true, true},
                                                       {"PFD Picture: Cockpit Device G1000 PFD 1",
                                                        "MFD Picture: Cockpit Device G1000 MFD",
                                                        "PFD2 Picture: Cockpit Device G1000 PFD 2"}}),
                         [](const ::testing::TestParamInfo<source_case> &info) { return info.param.name; });

TEST_F(cockpit_device_displays, the_picture_follows_the_device_and_a_reopened_window_shows_it_at_once)
{
    fly(g1000_aircraft);
    start_and_enable();
    host.run_frames(1); // the devices' own screens are made
    const std::set<unsigned> framebuffers = live_framebuffers();
    open(pfd);
    host.run_frames(1);
    const image first = device_screen(device::g1000_pfd_1);
    EXPECT_LT(off_device(0), 0.0005);
    EXPECT_EQ(live_framebuffers().size(), framebuffers.size() + 1) << "one for the copy";

    wait_capture_period();
    host.run_frames(1);
    ASSERT_GT(mismatch(device_screen(device::g1000_pfd_1), first, {0, 0, display_w, display_h}, 0), 0.0)
        << "the device's picture moves on";
    EXPECT_LT(off_device(0), 0.0005) << "and the window with it";

    open(pfd);
    host.run_frames(1);
    EXPECT_EQ(live_framebuffers(), framebuffers) << "the copy is released when the window hides";
    open(pfd);
    host.run_frames(1);
    EXPECT_LT(off_device(0), 0.0005) << "reopened: this frame's picture, without waiting for the rate";
}

TEST_F(cockpit_device_displays, loading_another_aircraft_switches_each_display_to_its_source)
{
    fly({});
    start_and_enable();
    open_all();
    host.run_frames(1);
    const std::array<bool, 3> panel_only{false, false, false}, g1000{true, true, false};
    for (const auto &[a, from_device] :
         {std::make_pair(g1000_aircraft, g1000), std::make_pair(aircraft{}, panel_only),
          std::make_pair(g1000_aircraft, g1000)}) {
        SCOPED_TRACE(a.empty() ? "a panel aircraft" : "a G1000 aircraft");
        auto pfd_lines = [&] {
            return count("PFD Picture: Cockpit Device G1000 PFD 1") +
                   count("PFD Picture: Panel (0, 2100, 1024, 768) built in");
        };
        const size_t lines = pfd_lines();
        fly(a);
        // Settled, and said, at the first panel pass after the load, when the panel's size is known.
        host.run_frames(1);
        EXPECT_EQ(pfd_lines(), lines + 1) << "one line per display at each load";
        for (size_t i = 0; i < 3; i++) {
            SCOPED_TRACE(sources[i].d.title);
            if (from_device[i])
                EXPECT_LT(off_device(i), 0.0005);
            else
                EXPECT_LT(off_panel_of(i), 0.0005);
        }
    }
    EXPECT_EQ(host.avionics_registration_count(), 3u);
}

TEST_F(cockpit_device_displays, a_device_without_power_shows_black_and_its_picture_comes_back_with_the_power)
{
    fly(g1000_aircraft);
    start_and_enable();
    open(pfd);
    host.run_frames(1);
    ASSERT_LT(off_device(0), 0.0005);
    // Whether the simulator draws an unpowered screen black or not at all is
    // not documented: either way the window is black, not the last picture.
    for (bool drawn : {true, false}) {
        SCOPED_TRACE(drawn ? "drawn black" : "not drawn");
        ASSERT_TRUE(host.set_device_drawn(device::g1000_pfd_1, drawn));
        ASSERT_TRUE(host.set_device_bus_volts(device::g1000_pfd_1, 0));
        host.run_frames(1);
        EXPECT_TRUE(interior_black(0));
        ASSERT_TRUE(host.set_device_drawn(device::g1000_pfd_1, true));
        ASSERT_TRUE(host.set_device_bus_volts(device::g1000_pfd_1, 1));
        host.run_frames(1);
        EXPECT_LT(off_device(0), 0.0005) << "back at the first frame with power";
    }
}

TEST_F(cockpit_device_displays, a_device_not_drawn_shows_once_it_is_drawn_and_keeps_its_last_picture_between)
{
    aircraft a = g1000_aircraft;
    a[0].drawn = false;
    fly(a);
    start_and_enable();
    open(pfd);
    host.run_frames(2);
    EXPECT_TRUE(interior_black(0)) << "nothing to show yet";

    ASSERT_TRUE(host.set_device_drawn(device::g1000_pfd_1, true));
    host.run_frames(1);
    EXPECT_LT(off_device(0), 0.0005);
    const image last = interior(monitor(1));

    ASSERT_TRUE(host.set_device_drawn(device::g1000_pfd_1, false));
    wait_capture_period();
    host.run_frames(3);
    EXPECT_TRUE(interior(monitor(1)).rgba == last.rgba) << "the last picture, kept";

    ASSERT_TRUE(host.set_device_drawn(device::g1000_pfd_1, true));
    wait_capture_period();
    host.run_frames(1);
    EXPECT_LT(off_device(0), 0.0005) << "live again";
    EXPECT_FALSE(interior(monitor(1)).rgba == last.rgba) << "a newer picture";
}

TEST_F(cockpit_device_displays, every_avionics_registration_ends_at_disable_and_comes_back_at_enable)
{
    fly(g1000_aircraft);
    start_and_enable();
    EXPECT_EQ(host.avionics_registration_count(), 3u);
    ASSERT_TRUE(host.disable());
    EXPECT_EQ(host.avionics_registration_count(), 0u);
    ASSERT_TRUE(host.enable());
    EXPECT_EQ(host.avionics_registration_count(), 3u) << "registered again, once each";
    open(mfd);
    host.run_frames(1);
    EXPECT_LT(off_device(1), 0.0005);
    ASSERT_TRUE(host.disable());
    EXPECT_EQ(host.avionics_registration_count(), 0u);
    EXPECT_TRUE(host.unexpected_calls().empty()) << testing::PrintToString(host.unexpected_calls());
}

// A shown window that gets no picture for two seconds says so, with the
// likely reasons for the source it shows: once, and again only after a
// picture came and went. Simulated seconds, ten frames each.
struct silence_case {
    const char *name;
    aircraft flown;
    const char *line;
};

class silent_display : public cockpit_device_displays, public ::testing::WithParamInterface<silence_case> {
protected:
    void feed(bool on)
    {
        if (GetParam().flown.empty())
            host.set_panel_passes(on ? std::vector<int>{1, 2} : std::vector<int>{1});
        else
            ASSERT_TRUE(host.set_device_drawn(device::g1000_pfd_1, on));
    }
};

TEST_P(silent_display, says_so_once_and_again_only_after_a_picture_came_and_went)
{
    const silence_case &c = GetParam();
    ASSERT_TRUE(host.set_frame_rate(10));
    fly(c.flown);
    feed(false);
    start_and_enable();
    open(pfd);
    host.run_frames(15);
    EXPECT_EQ(count(c.line), 0u) << "not before two seconds";
    host.run_frames(10);
    EXPECT_EQ(count(c.line), 1u);

    open(pfd);
    host.run_frames(1);
    open(pfd);
    host.run_frames(30);
    EXPECT_EQ(count(c.line), 1u) << "closed and reopened with no picture between: said once";

    feed(true);
    host.run_frames(1);
    feed(false);
    host.run_frames(15);
    EXPECT_EQ(count(c.line), 1u) << "a picture came: two seconds more";
    host.run_frames(10);
    EXPECT_EQ(count(c.line), 2u) << "and went";
}

INSTANTIATE_TEST_SUITE_P(
    sources, silent_display,
    ::testing::Values(silence_case{"the_panel_without_a_lit_pass",
                                   {},
                                   "PFD Picture: none for 2 seconds; the view may have no lit panel pass (a "
                                   "2-D panel view, or none drawn yet), or the aircraft draws no G1000 at "
                                   "panel (0, 2100)"},
                      silence_case{
                          "a_device_not_drawn", g1000_aircraft,
                          "PFD Picture: none for 2 seconds; the G1000 PFD 1 may not be drawn in this "
                          "view, may have no power, or the aircraft draws nothing on it"}),
    [](const ::testing::TestParamInfo<silence_case> &info) { return info.param.name; });

// Each display's place per aircraft: from the pilot's file in
// settings/aircraft, else from a file beside the .acf, else built in; a file
// made for another panel, or a place that does not fit, is passed over.
using model = simhost::aircraft_model;

// A third-party aircraft: a 4096-pixel panel with its PFD at a place of its own.
model third_party(const std::string &acf_dir, const std::string &file)
{
    model m;
    m.file = file;
    m.path = native_path(acf_dir + "/" + file);
    m.panel_width = 4096;
    m.panel_height = 4096;
    m.faces[0] = {100, 1800, 800, 600};
    return m;
}

const std::string right_place = "pfd_nbzl_panel_x = 100\npfd_nbzl_panel_y = 1800\n"
                                "pfd_nbzl_panel_w = 800\npfd_nbzl_panel_h = 600\n";

struct place_case {
    const char *name;
    const char *acf;
    sim_version version;
    aircraft devices;
    std::string pilot_file, beside_file; // empty: none
    bool from_device;
    simhost::panel_face shown; // the PFD's rectangle of the panel, when not from its device
    std::string logged;        // the start of a line the log must have
};

class place_lookup : public cockpit_device_displays, public ::testing::WithParamInterface<place_case> {};

TEST_P(place_lookup, the_pfd_shows_the_place_the_first_fitting_file_gives_else_the_built_in_one)
{
    const place_case &c = GetParam();
    const std::string acf_dir = tmp / "Aircraft/Third Party Ä";
    std::filesystem::create_directories(std::filesystem::u8path(acf_dir));
    std::filesystem::create_directories(std::filesystem::u8path(settings_dir + "/aircraft"));
    if (!c.pilot_file.empty())
        write_file(settings_dir + "/aircraft/" + c.acf + ".cfg", c.pilot_file);
    if (!c.beside_file.empty())
        write_file(acf_dir + "/" + c.acf + ".kyv_pop.cfg", c.beside_file);
    host.set_sim_version(c.version);
    flown = c.devices;
    ASSERT_TRUE(host.load_aircraft(third_party(acf_dir, c.acf), c.devices)) << host.error();
    start_and_enable();
    open(pfd);
    host.run_frames(1);

    if (c.from_device) {
        EXPECT_LT(off_device(0), 0.005);
    } else {
        const simhost::panel_face &f = c.shown;
        const image expected = read_image(host.panel_framebuffer(), f.x, f.y, f.w, f.h);
        EXPECT_LT(mismatch(interior(monitor(1)), expected, inner), 0.0005);
    }
    const auto msgs = plugin_messages();
    EXPECT_TRUE(std::any_of(msgs.begin(), msgs.end(),
                            [&](const std::string &m) { return m.rfind(c.logged, 0) == 0; }))
        << c.logged << "\n"
        << testing::PrintToString(msgs);
    EXPECT_TRUE(host.unexpected_calls().empty()) << testing::PrintToString(host.unexpected_calls());
}

const simhost::panel_face built_in_pfd{0, 2100, 1024, 768}, right_pfd{100, 1800, 800, 600};

INSTANTIATE_TEST_SUITE_P(
    files_and_sources, place_lookup,
    ::testing::Values(
        place_case{"no_file_shows_the_built_in_rectangle",
                   "Baron_58.acf",
                   sim_version::xp12_1,
                   {},
                   "",
                   "",
                   false,
                   built_in_pfd,
                   "PFD Picture: Panel (0, 2100, 1024, 768) built in"},
        place_case{"the_pilots_file",
                   "Baron_58.acf",
                   sim_version::xp12_1,
                   {},
                   right_place,
                   "",
                   false,
                   right_pfd,
                   "PFD Picture: Panel (100, 1800, 800, 600) from settings/aircraft/Baron_58.acf.cfg"},
        place_case{"a_file_beside_the_acf_with_spaces_and_letters_beyond_ascii",
                   "Baron 58 Ä.acf",
                   sim_version::xp12_1,
                   {},
                   "",
                   "panel_width = 4096\npanel_height = 4096\n" + right_place,
                   false,
                   right_pfd,
                   "Aircraft Baron 58 Ä.acf, panel 4096 x 4096: places from "},
        place_case{
            "the_pilots_file_wins_over_the_one_beside_the_acf",
            "Baron_58.acf",
            sim_version::xp12_1,
            {},
            right_place,
            "pfd_nbzl_panel_x = 0\n",
            false,
            right_pfd,
            "Aircraft Baron_58.acf, panel 4096 x 4096: places from settings/aircraft/Baron_58.acf.cfg"},
        place_case{
            "a_file_made_for_another_panel_size_is_not_applied",
            "Baron_58.acf",
            sim_version::xp12_1,
            {},
            "panel_width = 2048\npanel_height = 2048\n" + right_place,
            "",
            false,
            built_in_pfd,
            "settings/aircraft/Baron_58.acf.cfg: made for a panel of 2048 x 2048, this aircraft's is 4096 x "
            "4096: not applied"},
        place_case{
            "a_place_outside_the_panel_falls_to_the_next_file",
            "Baron_58.acf",
            sim_version::xp12_1,
            {},
            "pfd_nbzl_panel_x = 3500\n",
            right_place,
            false,
            right_pfd,
            "settings/aircraft/Baron_58.acf.cfg: the PFD's place (3500, 2100, 1024, 768) is not inside the "
            "4096 x 4096 panel or is under 64 x 48: not used"},
        place_case{"source_panel_on_a_device_aircraft_shows_the_panel", "Baron_58.acf", sim_version::xp12_1,
                   g1000_aircraft, "pfd_nbzl_source = panel\n" + right_place, "", false, right_pfd,
                   "PFD Picture: Panel (100, 1800, 800, 600) from settings/aircraft/Baron_58.acf.cfg"},
        place_case{
            "source_device_on_x_plane_11_falls_back_to_the_panel", "Baron_58.acf", sim_version::xp11,
            g1000_aircraft, "pfd_nbzl_source = device\n" + right_place, "", false, right_pfd,
            "PFD: source = device in settings/aircraft/Baron_58.acf.cfg, but the simulator has no avionics "
            "functions: the panel is shown"},
        place_case{"source_device_where_the_aircraft_has_one", "Baron_58.acf", sim_version::xp12_1,
                   g1000_aircraft, "pfd_nbzl_source = device\n", "", true, built_in_pfd,
                   "PFD Picture: Cockpit Device G1000 PFD 1"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
