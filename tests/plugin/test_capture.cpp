// The capture of panel rectangles into textures, and their read-back for
// remote viewers, driven directly with the
// simulator host in the same process: the throttle, the GL objects of a
// region, and the capture pass over the displays.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <deque>
#include <limits>
#include <thread>
#include <vector>

#include <acfutils/glew.h>
#include <acfutils/log.h>

#include "windows/popupSystem.h"
#include "pictures/popup_capture.h"
#include "windows/popup_window.h"
#include "pictures/scr_cap.h"
#include "remote/picture_feed.h"
#include "host.h"
#include "jpeg_image.h"
#include "thread_count.h"

namespace {

// The PFD's rectangle of the panel, captured 20 times a second.
capture_region pfd_region()
{
    capture_region r{};
    r.src_x = 0;
    r.src_y = 2100;
    r.src_w = 1024;
    r.src_h = 768;
    r.place_x = 0;
    r.place_y = 0.005;
    r.place_w = 1;
    r.place_h = 0.995;
    r.rate = 20;
    return r;
}

GLint bound(GLenum which)
{
    GLint v = -1;
    glGetIntegerv(which, &v);
    return v;
}

void read_texel(const capture_region &r, int x, int y, unsigned char out[4])
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, r.fbo);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, out);
}

// A host with GL and the panel drawn once; the panel is bound as the
// simulator binds it for the gauges phase.
class capture : public ::testing::Test {
protected:
    simhost::host host;

    void SetUp() override
    {
        host.set_backgrounds(false);
        ASSERT_TRUE(host.init_gl());
        lacf_glew_context_init(lacf_glew_get_context());
        host.run_frames(1);
        bind_panel();
    }
    void TearDown() override
    {
        for (capture_region &r : made)
            scr_cap_release(&r);
    }

    void bind_panel() const { glBindFramebuffer(GL_FRAMEBUFFER, host.panel_framebuffer()); }
    // A region the fixture owns, so that its GL objects are released even
    // when a check fails half-way.
    capture_region &region(const capture_region &from = pfd_region())
    {
        made.push_back(from);
        return made.back();
    }

private:
    std::deque<capture_region> made;
};

TEST_F(capture, copies_the_rectangle_one_to_one_and_gives_the_simulator_its_framebuffer_back)
{
    capture_region &r = region();
    scr_cap_capture(&r, 5000000);
    ASSERT_NE(r.tex, 0u);
    ASSERT_NE(r.fbo, 0u);
    EXPECT_EQ(r.last_capture_us, 5000000u);
    EXPECT_EQ(static_cast<unsigned>(bound(GL_DRAW_FRAMEBUFFER_BINDING)), host.panel_framebuffer());
    EXPECT_EQ(static_cast<unsigned>(bound(GL_READ_FRAMEBUFFER_BINDING)), host.panel_framebuffer());

    // The display's 24-pixel magenta mark, top-left: texture row 0 is the
    // rectangle's bottom row, so the mark sits in the top rows.
    unsigned char px[4];
    read_texel(r, 23, 767 - 23, px);
    EXPECT_EQ(std::vector<int>(px, px + 3), (std::vector<int>{255, 0, 255}));
    read_texel(r, 24, 767, px);
    EXPECT_NE(std::vector<int>(px, px + 3), (std::vector<int>{255, 0, 255}));
    read_texel(r, 5, 5, px);
    EXPECT_NE(std::vector<int>(px, px + 3), (std::vector<int>{255, 0, 255}));

    const unsigned tex = r.tex, fbo = r.fbo;
    scr_cap_capture(&r, 5000000 + 50000);
    EXPECT_EQ(r.tex, tex) << "made once, reused";
    EXPECT_EQ(r.fbo, fbo);
    scr_cap_release(&r);
    EXPECT_EQ(r.tex, 0u);
    EXPECT_EQ(r.fbo, 0u);
    EXPECT_FALSE(glIsTexture(tex));
    EXPECT_FALSE(glIsFramebuffer(fbo));
    EXPECT_EQ(r.last_capture_us, 5000000u + 50000) << "a release keeps the time of the last capture";
}

TEST_F(capture, a_region_is_captured_once_a_full_period_has_passed)
{
    capture_region &r = region();
    const uint64_t t0 = 1000000;
    scr_cap_capture(&r, t0);
    scr_cap_capture(&r, t0 + 49999);
    EXPECT_EQ(r.last_capture_us, t0) << "within the period";
    scr_cap_capture(&r, t0 + 50000);
    EXPECT_EQ(r.last_capture_us, t0 + 50000) << "exactly one period later";

    // When the counter times 1 000 000 wraps, the time falls from its
    // highest value (2^64 / 10 MHz microseconds) to near 0: the unsigned
    // difference is huge, so the capture is due at once.
    r.last_capture_us = std::numeric_limits<uint64_t>::max() / 10000000;
    scr_cap_capture(&r, 5);
    EXPECT_EQ(r.last_capture_us, 5u);
}

TEST_F(capture, a_region_closed_and_reopened_within_a_period_is_captured_at_once_then_at_the_rate)
{
    capture_region &r = region();
    const uint64_t t0 = 1000000;
    scr_cap_update(&r, true, t0);
    // Frames that take no time: the close and the reopen fall in the same
    // microsecond as the first capture.
    scr_cap_update(&r, false, t0);
    ASSERT_EQ(r.tex, 0u);
    scr_cap_update(&r, true, t0);
    ASSERT_NE(r.tex, 0u) << "the reopened window has its picture at once";
    unsigned char px[4];
    read_texel(r, 5, 767 - 5, px);
    EXPECT_EQ(std::vector<int>(px, px + 3), (std::vector<int>{255, 0, 255})) << "the display's mark";

    scr_cap_update(&r, true, t0 + 49999);
    EXPECT_EQ(r.last_capture_us, t0) << "the rate holds from then on";
    scr_cap_update(&r, true, t0 + 50000);
    EXPECT_EQ(r.last_capture_us, t0 + 50000);
}

TEST_F(capture, a_region_with_rate_0_is_never_captured_and_draws_nothing)
{
    capture_region &r = region();
    r.rate = 0;
    for (uint64_t t : {uint64_t{0}, uint64_t{1000000}, std::numeric_limits<uint64_t>::max()})
        scr_cap_update(&r, true, t);
    EXPECT_EQ(r.tex, 0u);
    EXPECT_EQ(r.last_capture_us, 0u);
}

TEST_F(capture, fractional_edges_are_cut_to_whole_pixels)
{
    capture_region &r = region();
    r.src_x = 10.7;
    r.src_w = 100.6;
    r.src_h = 50.99;
    scr_cap_capture(&r, 1000000);
    glBindTexture(GL_TEXTURE_2D, r.tex);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
}

struct draw_seen {
    int calls = 0;
    capture_region *region = nullptr;
    vect2_t pos{}, size{};
    void *user = nullptr;
};
draw_seen seen;

void own_draw(capture_region *region, vect2_t pos, vect2_t size, void *user)
{
    seen = {seen.calls + 1, region, pos, size, user};
}

TEST_F(capture, a_region_that_draws_itself_is_never_captured_nor_released)
{
    capture_region &r = region();
    r.draw_fn = own_draw;
    scr_cap_update(&r, true, 1000000);
    EXPECT_EQ(r.tex, 0u) << "not captured";
    r.tex = 12345; // as if its owner kept a texture there
    scr_cap_update(&r, false, 2000000);
    EXPECT_EQ(r.tex, 12345u) << "not released";
    r.tex = 0;

    seen = {};
    int user = 0;
    scr_cap_draw(&r, VECT2(1.5, 2.5), VECT2(300, 200), &user);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.region, &r);
    EXPECT_EQ(seen.pos.x, 1.5);
    EXPECT_EQ(seen.pos.y, 2.5);
    EXPECT_EQ(seen.size.x, 300);
    EXPECT_EQ(seen.size.y, 200);
    EXPECT_EQ(seen.user, &user);
}

// The capture pass over the three displays, with their definitions.
class capture_pass : public capture {
protected:
    void SetUp() override
    {
        capture::SetUp();
        popup_system_init(std::string(KYV_PLUGIN_DIR) + "/");
        // Each test's host has datarefs of its own.
        popup_capture_start();
    }
    void TearDown() override
    {
        popup_system_fini();
        pfd_popup.regions[0].rate = 20;
        mfd_popup.regions = saved_mfd_regions;
        capture::TearDown();
    }
    capture_region *const saved_mfd_regions = mfd_popup.regions;

    static void toggle(popup &pup) { popup_toggle(nullptr, xplm_CommandEnd, &pup); }
    void pass()
    {
        bind_panel();
        EXPECT_EQ(popup_capture_cb(xplm_Phase_Gauges, 0, nullptr), 1);
    }
};

TEST_F(capture_pass, captures_shown_displays_only_and_releases_them_once_hidden)
{
    toggle(pfd_popup);
    pass();
    EXPECT_NE(pfd_popup.regions[0].tex, 0u);
    EXPECT_EQ(mfd_popup.regions[0].tex, 0u) << "no window";
    EXPECT_EQ(pfd2_popup.regions[0].tex, 0u);

    XPLMSetWindowIsVisible(pfd_popup.win, 0);
    host.set_int_dataref("sim/graphics/view/panel_render_type", 0);
    pass();
    EXPECT_NE(pfd_popup.regions[0].tex, 0u) << "nothing changes in a pass without the panel";
    EXPECT_NE(pfd_popup.mtcr, nullptr);
    host.set_int_dataref("sim/graphics/view/panel_render_type", 2);
    pass();
    EXPECT_EQ(pfd_popup.regions[0].tex, 0u);
    EXPECT_EQ(pfd_popup.regions[0].fbo, 0u);
    EXPECT_EQ(pfd_popup.mtcr, nullptr) << "the hidden window's overlay renderer is finished";

    // Shown again well within the capture period of the first pass.
    XPLMSetWindowIsVisible(pfd_popup.win, 1);
    pass();
    EXPECT_NE(pfd_popup.regions[0].tex, 0u) << "a reopened display is captured at its first pass";
}

TEST_F(capture_pass, a_display_whose_rate_is_0_shows_no_texture_ever)
{
    pfd_popup.regions[0].rate = 0;
    toggle(pfd_popup);
    for (int i = 0; i < 3; i++)
        pass();
    EXPECT_EQ(pfd_popup.regions[0].tex, 0u);
}

TEST_F(capture_pass, a_display_without_regions_still_lets_go_of_its_hidden_windows_renderer)
{
    mfd_popup.regions = nullptr;
    toggle(mfd_popup);
    pass();
    ASSERT_NE(mfd_popup.mtcr, nullptr);
    XPLMSetWindowIsVisible(mfd_popup.win, 0);
    pass();
    EXPECT_EQ(mfd_popup.mtcr, nullptr);
}

// The read-back for remote viewers, fed by the same capture pass.
class remote_feed : public capture_pass {
protected:
    remote::frame_hub hub;
    void SetUp() override
    {
        capture_pass::SetUp();
        remote::picture_feed_start(hub, 20, 80);
    }
    void TearDown() override
    {
        remote::picture_feed_stop();
        capture_pass::TearDown();
    }
    // Passes until a frame of `d` newer than `after` is published; bounded.
    remote::frame_ptr next_frame(remote::display_id d, std::uint64_t after = 0)
    {
        for (int i = 0; i < 300; i++) {
            pass();
            if (remote::frame_ptr f = hub.wait_newer(d, after, std::chrono::milliseconds(10)))
                return f;
        }
        return nullptr;
    }
};

TEST_F(remote_feed, a_watched_display_arrives_as_a_jpeg_of_its_panel_rectangle_with_its_window_closed)
{
    hub.add_viewer(remote::display_id::pfd);
    const remote::frame_ptr f = next_frame(remote::display_id::pfd);
    ASSERT_NE(f, nullptr);
    const size_t with_worker = thread_count();
    EXPECT_EQ(f->width, 1024);
    EXPECT_EQ(f->height, 768);
    EXPECT_NE(f->captured_us, 0u);
    EXPECT_EQ(bound(GL_PIXEL_PACK_BUFFER_BINDING), 0) << "the simulator's state is put back";
    EXPECT_EQ(static_cast<unsigned>(bound(GL_READ_FRAMEBUFFER_BINDING)), host.panel_framebuffer());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const image jpeg = decode_jpeg(f->bytes.data(), f->bytes.size());
    EXPECT_LT(mean_error(jpeg, read_image(host.panel_framebuffer(), 0, 2100, 1024, 768)), 3.0)
        << "mean error per channel";
    // The magenta mark, top-left, inside its edges.
    ASSERT_EQ(jpeg.height, 768);
    EXPECT_NEAR(jpeg.at(12, 767 - 12)[0], 255, 12);
    EXPECT_NEAR(jpeg.at(12, 767 - 12)[1], 0, 12);
    EXPECT_NEAR(jpeg.at(12, 767 - 12)[2], 255, 12);

    EXPECT_EQ(hub.latest(remote::display_id::mfd), nullptr) << "an unwatched display is not read";
    remote::picture_feed_stop();
    EXPECT_EQ(thread_count(), with_worker - 1) << "kyv_jpeg joined";
}

TEST_F(remote_feed, nothing_is_read_back_unwatched_and_a_single_request_gets_one_picture)
{
    for (int i = 0; i < 10; i++)
        pass();
    EXPECT_EQ(remote::picture_feed_statistics().encoded, 0u);

    hub.request_once(remote::display_id::mfd);
    const remote::frame_ptr f = next_frame(remote::display_id::mfd);
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(hub.wanted(remote::display_id::mfd));
    // Reads already under way when it came may still land; then no more.
    auto settle = [&] {
        for (int i = 0; i < 20; i++) {
            pass();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return remote::picture_feed_statistics().encoded;
    };
    const std::uint64_t settled = settle();
    EXPECT_LE(settled, 3u);
    EXPECT_EQ(settle(), settled);
    EXPECT_EQ(hub.latest(remote::display_id::pfd), nullptr);
}

TEST_F(remote_feed, a_viewer_that_never_reads_leaves_only_the_newest_frame_held)
{
    hub.add_viewer(remote::display_id::pfd);
    const std::weak_ptr<const remote::jpeg_frame> first = next_frame(remote::display_id::pfd);
    // Bounded: next_frame gives up after its passes.
    remote::frame_ptr later;
    std::uint64_t seen = 1;
    while (seen < 4 && (later = next_frame(remote::display_id::pfd, seen)))
        seen = later->seq;
    ASSERT_NE(later, nullptr);
    EXPECT_GE(later->seq, 4u) << "pictures keep coming";
    EXPECT_TRUE(first.expired()) << "older frames are let go, not queued";
}

TEST(capture_death, a_framebuffer_that_cannot_be_completed_is_a_broken_invariant_that_stops_the_process)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            log_init([](const char *line) { fputs(line, stderr); }, "KYV");
            simhost::host host;
            host.init_gl();
            lacf_glew_context_init(lacf_glew_get_context());
            glBindFramebuffer(GL_FRAMEBUFFER, host.panel_framebuffer());
            // A texture without pixels cannot be a colour attachment.
            capture_region r = pfd_region();
            r.src_w = 0;
            scr_cap_capture(&r, 1000000);
        },
        "assertion glCheckFramebufferStatus\\(GL_FRAMEBUFFER\\) == 0x8CD5 failed \\(0x8cd6 == 0x8cd5\\)");
}

} // namespace
