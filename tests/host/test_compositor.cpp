// What the host shows: the gauges phase draws into the panel, windows draw in
// global boxels into the monitors they lie on, popped-out windows into
// pictures of their own, and screenshots of it all.

#include "XPLMDataAccess.h"
#include "XPLMDisplay.h"
#include "host.h"
#include "host_test_support.h"
#include "temp_dir.h"

#include "gl_pixels.h"
#include <cairo.h>
#include <gmock/gmock.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

using simhost::rect;
using ::testing::ElementsAre;

namespace {

void fill(const rect &r, float red, float green, float blue)
{
    glColor4f(red, green, blue, 1);
    glBegin(GL_QUADS);
    glVertex2i(r.left, r.bottom);
    glVertex2i(r.left, r.top);
    glVertex2i(r.right, r.top);
    glVertex2i(r.right, r.bottom);
    glEnd();
}

// Two small monitors side by side, the second a little higher.
class compositor : public ::testing::Test {
protected:
    simhost::host h;

    void SetUp() override
    {
        ASSERT_TRUE(h.set_monitors({{0, 64, 64, 0}, {64, 80, 128, 16}}));
        h.set_backgrounds(false);
        ASSERT_TRUE(h.init_gl()) << h.error();
    }
};

// The panel's total and visible bounds, left, bottom, right, top each.
std::vector<int> panel_bounds()
{
    std::vector<int> v;
    for (const char *part : {"total", "visible"})
        for (const char *side : {"l", "b", "r", "t"}) {
            const std::string name = std::string("sim/graphics/view/panel_") + part + "_pnl_" + side;
            XPLMDataRef ref = XPLMFindDataRef(name.c_str());
            EXPECT_NE(ref, nullptr) << name;
            v.push_back(XPLMGetDatai(ref));
        }
    return v;
}

struct gauges_seen {
    GLint framebuffer = -1;
    int panel_render_type = -1;
    std::vector<int> bounds;
};

int draw_into_panel(XPLMDrawingPhase, int, void *refcon)
{
    auto *seen = static_cast<gauges_seen *>(refcon);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &seen->framebuffer);
    seen->panel_render_type = XPLMGetDatai(XPLMFindDataRef("sim/graphics/view/panel_render_type"));
    seen->bounds = panel_bounds();
    // Panel pixels, origin at the bottom-left.
    fill({10, 2110, 20, 2100}, 0, 0, 1);
    return 1;
}

TEST_F(compositor, the_gauges_phase_draws_into_the_panel_in_panel_pixels_and_reads_back)
{
    EXPECT_GE(h.panel_width(), 3072);
    EXPECT_GE(h.panel_height(), 2868);
    gauges_seen seen;
    ASSERT_EQ(XPLMRegisterDrawCallback(draw_into_panel, xplm_Phase_Gauges, 0, &seen), 1);
    h.run_frames(1);
    EXPECT_EQ(seen.framebuffer, static_cast<GLint>(h.panel_framebuffer()));
    EXPECT_EQ(seen.panel_render_type, 2);
    EXPECT_THAT(pixel(h.panel_framebuffer(), 15, 2105), ElementsAre(0, 0, 255, 255));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    h.set_panel_passes({1});
    h.run_frames(1);
    EXPECT_EQ(seen.panel_render_type, 1) << "a scenario can give the panel other passes";
}

int record_panel_bounds(XPLMDrawingPhase, int, void *refcon)
{
    *static_cast<std::vector<int> *>(refcon) = panel_bounds();
    return 1;
}

TEST_F(compositor,
       another_aircrafts_panel_has_its_size_and_faces_and_its_bounds_read_only_in_the_gauges_phase)
{
    gauges_seen seen;
    std::vector<int> in_window_phase;
    ASSERT_EQ(XPLMRegisterDrawCallback(draw_into_panel, xplm_Phase_Gauges, 0, &seen), 1);
    ASSERT_EQ(XPLMRegisterDrawCallback(record_panel_bounds, xplm_Phase_Window, 0, &in_window_phase), 1);
    h.run_frames(1);
    EXPECT_THAT(seen.bounds, ElementsAre(0, 0, 3072, 2868, 0, 0, 3072, 2868));
    const std::vector<int> none(8, 0);
    EXPECT_EQ(in_window_phase, none);
    EXPECT_EQ(panel_bounds(), none) << "between frames";

    simhost::aircraft_model m;
    m.panel_width = m.panel_height = 2048;
    m.faces = {{{100, 1200, 800, 600}, {1000, 200, 800, 600}, {1000, 1000, 800, 600}}};
    ASSERT_TRUE(h.load_aircraft(m, {})) << h.error();
    EXPECT_EQ(h.panel_width(), 2048);
    EXPECT_EQ(h.panel_height(), 2048);
    h.run_frames(1);
    EXPECT_THAT(seen.bounds, ElementsAre(0, 0, 2048, 2048, 0, 0, 2048, 2048));
    EXPECT_EQ(seen.framebuffer, static_cast<GLint>(h.panel_framebuffer()));
    EXPECT_THAT(pixel(h.panel_framebuffer(), 100, 1799), ElementsAre(255, 0, 255, 255)) << "the PFD's mark";
    EXPECT_EQ(h.current_aircraft_model().panel_width, 2048);
    EXPECT_TRUE(h.unexpected_calls().empty());
}

void draw_red(XPLMWindowID w, void *)
{
    rect r;
    XPLMGetWindowGeometry(w, &r.left, &r.top, &r.right, &r.bottom);
    fill(r, 1, 0, 0);
}

void draw_green(XPLMWindowID w, void *)
{
    rect r;
    XPLMGetWindowGeometry(w, &r.left, &r.top, &r.right, &r.bottom);
    fill(r, 0, 1, 0);
}

XPLMWindowID make(rect r, XPLMDrawWindow_f draw)
{
    XPLMCreateWindow_t p = host_test::window_params(r);
    p.drawWindowFunc = draw;
    return XPLMCreateWindowEx(&p);
}

TEST_F(compositor, a_window_draws_in_global_boxels_on_every_monitor_it_reaches)
{
    // Across the seam: 54..74 wide, 30..50 high.
    make({54, 50, 74, 30}, draw_red);
    h.run_frames(1);
    const unsigned m0 = h.monitor_framebuffer(0), m1 = h.monitor_framebuffer(1);
    EXPECT_THAT(pixel(m0, 60, 40), ElementsAre(255, 0, 0, 255));
    EXPECT_THAT(pixel(m0, 50, 40), ElementsAre(0, 0, 0, 255));
    // Monitor 1 starts at (64, 16): global (70, 40) is its pixel (6, 24).
    EXPECT_THAT(pixel(m1, 6, 24), ElementsAre(255, 0, 0, 255));
    EXPECT_THAT(pixel(m1, 12, 24), ElementsAre(0, 0, 0, 255));
    EXPECT_THAT(pixel(m1, 6, 35), ElementsAre(0, 0, 0, 255));
}

TEST_F(compositor, the_window_in_front_is_drawn_last_and_hidden_windows_not_at_all)
{
    XPLMWindowID green = make({0, 40, 40, 0}, draw_green);
    make({20, 40, 60, 0}, draw_red);
    h.run_frames(1);
    EXPECT_THAT(pixel(h.monitor_framebuffer(0), 30, 20), ElementsAre(255, 0, 0, 255));
    XPLMSetWindowIsVisible(green, 0);
    XPLMSetWindowIsVisible(green, 1); // shown again: now in front
    h.run_frames(1);
    EXPECT_THAT(pixel(h.monitor_framebuffer(0), 30, 20), ElementsAre(0, 255, 0, 255));
    XPLMSetWindowIsVisible(green, 0);
    h.run_frames(1);
    EXPECT_THAT(pixel(h.monitor_framebuffer(0), 10, 20), ElementsAre(0, 0, 0, 255));
}

// Draws like a plugin that uses the depth buffer, and leaves depth writes off.
template <void (*draw)(XPLMWindowID, void *)> void with_depth(XPLMWindowID w, void *ref)
{
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    draw(w, ref);
    glDepthMask(GL_FALSE);
}

TEST_F(compositor, each_window_draws_with_a_depth_buffer_of_its_own_whatever_the_last_frame_left)
{
    make({0, 40, 40, 0}, with_depth<draw_green>);
    make({20, 40, 60, 0}, with_depth<draw_red>);
    for (int frame = 0; frame < 3; frame++) {
        h.run_frames(1);
        EXPECT_THAT(pixel(h.monitor_framebuffer(0), 10, 20), ElementsAre(0, 255, 0, 255)) << frame;
        EXPECT_THAT(pixel(h.monitor_framebuffer(0), 30, 20), ElementsAre(255, 0, 0, 255))
            << "the window in front at the same depth, frame " << frame;
    }
}

int png_width(const std::string &path, rgba &top_left)
{
    cairo_surface_t *s = cairo_image_surface_create_from_png(path.c_str());
    int w = -1;
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
        w = cairo_image_surface_get_width(s);
        const uint32_t p = *reinterpret_cast<const uint32_t *>(cairo_image_surface_get_data(s));
        top_left = {static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
                    static_cast<int>(p & 0xff), static_cast<int>(p >> 24)};
    }
    cairo_surface_destroy(s);
    return w;
}

TEST_F(compositor, a_popped_out_window_draws_into_its_own_picture_which_screenshots_save_beside_the_monitors)
{
    XPLMWindowID w = make({0, 10, 10, 0}, draw_green);
    XPLMSetWindowTitle(w, "Popped Out: Test");
    XPLMSetWindowPositioningMode(w, xplm_WindowPopOut, 0);
    XPLMSetWindowGeometryOS(w, 100, 60, 140, 20); // over monitor 1 only
    h.run_frames(2);                              // its OS window appears, then is drawn
    // The OS window floats over the monitor beneath it.
    EXPECT_THAT(pixel(h.monitor_framebuffer(1), 40, 20), ElementsAre(0, 255, 0, 255));
    EXPECT_THAT(pixel(h.monitor_framebuffer(0), 5, 5), ElementsAre(0, 0, 0, 255));

    temp_dir tmp;
    std::vector<std::string> written;
    ASSERT_TRUE(h.save_screenshots(tmp.path(), "shot", written)) << h.error();
    const std::string base = tmp.path() + "/shot-";
    EXPECT_THAT(written, ElementsAre(base + "monitor0.png", base + "monitor1.png",
                                     base + "window1-popped-out-test.png"));
    rgba corner{};
    EXPECT_EQ(png_width(written[2], corner), 40);
    EXPECT_THAT(corner, ElementsAre(0, 255, 0, 255));
    EXPECT_EQ(png_width(written[1], corner), 64);

    EXPECT_FALSE(h.save_screenshots(tmp.path() + "/missing", "shot", written));
    EXPECT_THAT(h.error(), ::testing::HasSubstr("missing"));
}

TEST(compositor_without_gl, screenshots_are_refused_with_a_reason)
{
    simhost::host h;
    std::vector<std::string> written;
    EXPECT_FALSE(h.save_screenshots("/tmp", "x", written));
    EXPECT_EQ(h.error(), "no screenshots without GL");
}

} // namespace
