// The display windows: their commands, opening and closing, and the window
// the simulator is asked to create.

#include <gmock/gmock.h>

#include <array>
#include <filesystem>

#include "gl_pixels.h"

#include "plugin_fixture.h"
#include "thread_count.h"

using simhost::rect;
using ::testing::ElementsAre;

namespace {

using popup_windows = plugin_fixture;
using press = simhost::host::press;

const char *const init_lines[] = {"Init KYV G1000 MFD Bezelless", "Init KYV G1000 PFD Bezelless",
                                  "Init KYV G1000 PFD 2 Bezelless"};

std::vector<std::string> lines_starting(const std::vector<std::string> &msgs, const std::string &prefix)
{
    std::vector<std::string> out;
    for (const auto &m : msgs)
        if (m.rfind(prefix, 0) == 0)
            out.push_back(m);
    return out;
}

TEST_F(popup_windows, enable_makes_the_three_commands_in_display_order_and_disable_lets_go_of_them)
{
    start_and_enable();
    for (const display *d : {&pfd, &mfd, &pfd2}) {
        EXPECT_TRUE(host.command_exists(d->command)) << d->command;
        EXPECT_EQ(host.command_description(d->command),
                  std::string("Show/hide pop out window for ") + d->title);
    }
    EXPECT_EQ(host.command_handler_count(), 5u)
        << "the three, the display regions picker's and the remote displays' switch";
    const auto msgs = plugin_messages();
    EXPECT_THAT(lines_starting(msgs, "Init "), ElementsAre(init_lines[0], init_lines[1], init_lines[2]));
    EXPECT_EQ(messages_from("G1000 Popup Init").at(1), init_lines[0]) << "initialised inside the enable";

    host.disable();
    EXPECT_THAT(lines_starting(plugin_messages(), "Fini "),
                ElementsAre("Fini KYV G1000 MFD Bezelless", "Fini KYV G1000 PFD Bezelless",
                            "Fini KYV G1000 PFD 2 Bezelless"));
    EXPECT_EQ(host.command_handler_count(), 0u);
    EXPECT_TRUE(host.command_exists(pfd.command)) << "the simulator keeps a command once made";
    EXPECT_TRUE(host.windows().empty()) << "no window was ever opened";
    EXPECT_TRUE(host.unexpected_calls().empty());
}

TEST_F(popup_windows, a_command_toggles_its_window_on_release_only)
{
    start_and_enable();
    ASSERT_TRUE(host.command(pfd.command, press::begin));
    host.run_frames(5); // the command is held: continue phases
    EXPECT_TRUE(host.windows().empty()) << "nothing happens while the key is held";
    EXPECT_EQ(count("In Toggle Popup Callback"), 0u);

    ASSERT_TRUE(host.command(pfd.command, press::end));
    ASSERT_TRUE(window(pfd.title));
    EXPECT_TRUE(window(pfd.title)->visible);
    EXPECT_THAT(messages_from("In Toggle Popup Callback"),
                ElementsAre("In Toggle Popup Callback", "Window Opened", "Window Opened"));

    host.command(pfd.command, press::once);
    EXPECT_FALSE(window(pfd.title)->visible);
    const auto msgs = plugin_messages();
    ASSERT_GE(msgs.size(), 4u);
    EXPECT_THAT(std::vector<std::string>(msgs.end() - 4, msgs.end()),
                ElementsAre("In Toggle Popup Callback", "Popup Closed", "MTCR FINI", "Popup Close Fini"));
    EXPECT_EQ(host.windows().size(), 1u) << "hidden, not destroyed";
    EXPECT_FALSE(window(mfd.title)) << "the other displays are untouched";
    EXPECT_TRUE(host.unexpected_calls().empty());
}

TEST_F(popup_windows, the_first_opening_creates_the_window_as_asked_and_later_openings_reuse_it)
{
    start_and_enable();
    host.command(mfd.command, press::once);
    ASSERT_EQ(host.windows().size(), 1u);
    const simhost::host::window_info w = host.windows().front();
    EXPECT_EQ(w.title, mfd.title);
    EXPECT_EQ(w.struct_size, 88);
    EXPECT_EQ(w.created, (rect{448, 924, 1472, 156})) << "1024 x 768, centred in the 1920 x 1080 screen";
    EXPECT_EQ(w.decoration, 0) << "undecorated";
    EXPECT_EQ(w.layer, 1) << "the floating-window layer";
    EXPECT_TRUE(w.callbacks.draw && w.callbacks.click && w.callbacks.right_click && w.callbacks.key &&
                w.callbacks.cursor && w.callbacks.wheel);
    EXPECT_EQ(std::vector<int>({w.min_width, w.min_height, w.max_width, w.max_height}),
              std::vector<int>({256, 0, 4096, 4096}));

    for (int i = 0; i < 4; i++)
        host.command(mfd.command, press::once);
    ASSERT_EQ(host.windows().size(), 1u);
    EXPECT_EQ(host.windows().front().number, w.number);
    EXPECT_TRUE(host.windows().front().visible);
}

struct screen_case {
    int width, height;
    rect created;
};

class new_window_centred : public plugin_fixture, public ::testing::WithParamInterface<screen_case> {};

TEST_P(new_window_centred, in_the_screen_whatever_its_size)
{
    const screen_case &c = GetParam();
    ASSERT_TRUE(host.set_screen_size(c.width, c.height));
    // Popped out, so the window inside the simulator stays where it was made.
    write_settings({{"pfd_nbzl_popup_at_start", 1}});
    start_and_enable();
    host.command(pfd.command, press::once);
    ASSERT_TRUE(window(pfd.title));
    EXPECT_EQ(window(pfd.title)->created, c.created);
    EXPECT_EQ(window(pfd.title)->geometry, c.created);
}

INSTANTIATE_TEST_SUITE_P(screens, new_window_centred,
                         ::testing::Values(screen_case{1920, 1080, {448, 924, 1472, 156}},
                                           screen_case{800, 600, {-112, 684, 912, -84}},
                                           // Halves are truncated toward zero, not floored.
                                           screen_case{1023, 767, {0, 767, 1023, 0}}));

TEST_F(popup_windows, the_window_takes_no_wheel_so_it_goes_on_to_the_simulator)
{
    start_and_enable();
    host.mouse_move(960, 540);
    host.command(pfd.command, press::once);
    EXPECT_FALSE(host.mouse_wheel(960, 540, 0, 1));
}

TEST_F(popup_windows, the_overlay_is_drawn_upright_over_the_window_and_a_hidden_window_draws_nothing)
{
    ASSERT_TRUE(host.set_monitors({{0, 1080, 1920, 0}, {1920, 768, 2944, 0}}));
    ASSERT_TRUE(host.init_gl());
    write_settings({{"pfd_nbzl_monitor_start", 1}});
    start_and_enable();
    host.run_frames(1);
    const unsigned fbo = host.monitor_framebuffer(1);
    const rgba background = pixel(fbo, 512, 766);

    host.command(pfd.command, press::once);
    host.run_frames(1);
    const rgba black{0, 0, 0, 255};
    EXPECT_EQ(pixel(fbo, 512, 766), black) << "the strip along the top edge";
    EXPECT_EQ(pixel(fbo, 0, 0), black) << "a rounded-off corner";
    EXPECT_EQ(pixel(fbo, 1023, 767), black);
    EXPECT_NE(pixel(fbo, 512, 384), black) << "the display area is clear";

    host.command(pfd.command, press::once);
    host.run_frames(1);
    EXPECT_EQ(pixel(fbo, 512, 766), background) << "a hidden window draws nothing";
}

TEST_F(popup_windows, without_the_overlay_image_each_display_says_so_once_per_enable_and_still_opens)
{
    std::filesystem::remove(plugin_dir + "/resources/popup/nobezel.png");
    start_and_enable();
    // The overlay's folder is one path piece, "resources/popup/", kept as it
    // is on every platform (Windows takes either separator).
    const std::string line =
        "Cannot read image file " + native_path(plugin_dir + "/") + "resources/popup/nobezel.png";
    EXPECT_EQ(count(line), 3u);
    EXPECT_TRUE(logged("KYV G1000 PFD Bezelless will open without its overlay"));

    for (const display *d : {&pfd, &mfd, &pfd2})
        host.command(d->command, press::once);
    for (const display *d : {&pfd, &mfd, &pfd2})
        EXPECT_TRUE(window(d->title)->visible) << d->title;
    host.command(pfd.command, press::once);
    host.command(pfd.command, press::once);
    EXPECT_TRUE(window(pfd.title)->visible);
    EXPECT_EQ(count(line), 3u) << "opening does not repeat it";

    host.disable();
    host.enable();
    EXPECT_EQ(count(line), 6u);
    EXPECT_TRUE(host.unexpected_calls().empty());
}

TEST_F(popup_windows, every_cursor_image_is_found_and_a_missing_one_is_reported_alone)
{
    start_and_enable();
    EXPECT_TRUE(lines_starting(plugin_messages(), "cannot read cursor").empty());
    host.disable();

    std::filesystem::remove(plugin_dir + "/resources/popup/cursors/b_close.png");
    host.enable();
    const auto errors = lines_starting(plugin_messages(), "cannot read cursor");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(native_path(plugin_dir + "/resources/popup/cursors/b_close.png")),
              std::string::npos)
        << errors[0];
    host.command(pfd.command, press::once);
    EXPECT_TRUE(window(pfd.title)->visible);
}

TEST_F(popup_windows, a_renderer_left_by_a_window_the_simulator_hid_is_finished_before_the_next_opening)
{
    write_settings({{"pfd_nbzl_popup_at_start", 1}, {"pfd_nbzl_w", 512}, {"pfd_nbzl_h", 384}});
    start_and_enable();
    const size_t before = thread_count();
    host.command(pfd.command, press::once);
    host.run_frames(1);
    const size_t with_one = thread_count();
    EXPECT_GT(with_one, before) << "the overlay renderer works on a thread of its own";

    ASSERT_TRUE(host.close_os_window(window(pfd.title)->number)) << host.error();
    host.command(pfd.command, press::once);
    EXPECT_TRUE(window(pfd.title)->visible);
    EXPECT_EQ(thread_count(), with_one) << "the old renderer was finished, not leaked";

    host.command(pfd.command, press::once);
    EXPECT_EQ(thread_count(), before);
}

TEST_F(popup_windows, enable_open_all_disable_enable_and_everything_works_again)
{
    ASSERT_TRUE(host.init_gl());
    start_and_enable();
    const size_t threads = thread_count();
    for (int cycle = 0; cycle < 2; cycle++) {
        for (const display *d : {&mfd, &pfd, &pfd2})
            ASSERT_TRUE(host.command(d->command, press::once)) << host.error();
        host.run_frames(3);
        ASSERT_EQ(host.windows().size(), 3u) << "cycle " << cycle;
        for (const auto &w : host.windows())
            EXPECT_TRUE(w.visible) << w.title;

        ASSERT_TRUE(host.disable());
        EXPECT_TRUE(host.windows().empty()) << "disable destroys the windows";
        EXPECT_EQ(thread_count(), threads) << "and finishes their renderers";
        EXPECT_EQ(host.command_handler_count(), 0u);
        ASSERT_TRUE(host.enable());
    }
    EXPECT_EQ(count("Init KYV G1000 PFD Bezelless"), 3u);
    EXPECT_TRUE(host.unexpected_calls().empty());
}

} // namespace
