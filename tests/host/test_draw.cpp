// Draw callbacks: the phases in the simulator's order, before and after,
// registration rules and changes made from inside a callback; the callbacks
// around a cockpit device's screen; the simulator's text and window frames.

#include "XPLMDataAccess.h"
#include "XPLMDisplay.h"
#include "XPLMGraphics.h"
#include "gl/gl_api.h"
#include "gl_pixels.h"
#include "host.h"
#include "host_test_support.h"

#include <gmock/gmock.h>

#include <chrono>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

using namespace host_test;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

struct call_log {
    std::vector<int> ids;
};

struct tagged {
    call_log *log;
    int id;
    XPLMDrawingPhase phase;
    int before;
};

int log_draw(XPLMDrawingPhase phase, int before, void *refcon)
{
    auto *t = static_cast<tagged *>(refcon);
    EXPECT_EQ(phase, t->phase);
    EXPECT_EQ(before, t->before);
    t->log->ids.push_back(t->id);
    return 1;
}

class draw_phases : public ::testing::Test {
protected:
    simhost::host h;
    call_log log;

    void SetUp() override
    {
        h.set_screen_size(16, 16);
        // One panel pass a frame: the order within a pass is what is tested.
        h.set_panel_passes({2});
        ASSERT_TRUE(h.init_gl()) << h.error();
    }
};

TEST_F(draw_phases, run_each_phase_in_order_with_before_callbacks_first_then_in_registration_order)
{
    // Registered scrambled; the id is the position the call must come in.
    std::vector<tagged> tags = {
        {&log, 11, xplm_Phase_LastCockpit, 0}, {&log, 4, xplm_Phase_Panel, 1},
        {&log, 7, xplm_Phase_Gauges, 0},       {&log, 0, xplm_Phase_Modern3D, 1},
        {&log, 9, xplm_Phase_Window, 0},       {&log, 5, xplm_Phase_Panel, 0},
        {&log, 3, xplm_Phase_FirstCockpit, 0}, {&log, 1, xplm_Phase_Modern3D, 0},
        {&log, 10, xplm_Phase_LastCockpit, 1}, {&log, 8, xplm_Phase_Window, 1},
        {&log, 6, xplm_Phase_Gauges, 1},       {&log, 2, xplm_Phase_FirstCockpit, 1},
        {&log, 12, xplm_Phase_LastCockpit, 0},
    };
    for (tagged &t : tags)
        ASSERT_EQ(XPLMRegisterDrawCallback(log_draw, t.phase, t.before, &t), 1);
    EXPECT_EQ(h.draw_callback_count(), tags.size());
    h.run_frames(2);
    std::vector<int> once = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::vector<int> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_THAT(log.ids, ElementsAreArray(twice));
}

TEST_F(draw_phases, register_and_unregister_answer_1_only_for_a_change)
{
    tagged t{&log, 1, xplm_Phase_Gauges, 0};
    EXPECT_EQ(XPLMRegisterDrawCallback(log_draw, xplm_Phase_Gauges, 0, &t), 1);
    EXPECT_EQ(XPLMRegisterDrawCallback(log_draw, xplm_Phase_Gauges, 0, &t), 0) << "duplicate";
    for (XPLMDrawingPhase unknown : {0, 30, 46, 99})
        EXPECT_EQ(XPLMRegisterDrawCallback(log_draw, unknown, 0, &t), 0) << "phase " << unknown;
    EXPECT_EQ(XPLMRegisterDrawCallback(nullptr, xplm_Phase_Gauges, 0, &t), 0);
    EXPECT_EQ(XPLMUnregisterDrawCallback(log_draw, xplm_Phase_Gauges, 1, &t), 0) << "wrong side";
    EXPECT_EQ(XPLMUnregisterDrawCallback(log_draw, xplm_Phase_Window, 0, &t), 0) << "wrong phase";
    EXPECT_EQ(XPLMUnregisterDrawCallback(log_draw, xplm_Phase_Gauges, 0, nullptr), 0) << "wrong refcon";
    EXPECT_EQ(h.draw_callback_count(), 1u);
    EXPECT_EQ(XPLMUnregisterDrawCallback(log_draw, xplm_Phase_Gauges, 0, &t), 1);
    EXPECT_EQ(XPLMUnregisterDrawCallback(log_draw, xplm_Phase_Gauges, 0, &t), 0);
    h.run_frames(1);
    EXPECT_TRUE(log.ids.empty());
    EXPECT_EQ(h.draw_callback_count(), 0u);
}

// Each callback does its one change to the registry on its first call.
struct changer {
    call_log *log;
    int id;
    std::pair<XPLMDrawingPhase, tagged *> target; // what to (un)register
    bool registers;
    bool done = false;
};

int change_then_log(XPLMDrawingPhase phase, int before, void *refcon)
{
    auto *c = static_cast<changer *>(refcon);
    c->log->ids.push_back(c->id);
    if (!c->done) {
        c->done = true;
        tagged *t = c->target.second;
        if (c->registers)
            XPLMRegisterDrawCallback(log_draw, c->target.first, t->before, t);
        else if (t == nullptr)
            XPLMUnregisterDrawCallback(change_then_log, phase, before, c);
        else
            XPLMUnregisterDrawCallback(log_draw, c->target.first, t->before, t);
    }
    return 1;
}

TEST_F(draw_phases, a_callback_may_unregister_itself)
{
    changer self{&log, 1, {xplm_Phase_Gauges, nullptr}, false};
    XPLMRegisterDrawCallback(change_then_log, xplm_Phase_Gauges, 0, &self);
    h.run_frames(3);
    EXPECT_THAT(log.ids, ElementsAre(1));
    EXPECT_EQ(h.draw_callback_count(), 0u);
}

TEST_F(draw_phases, a_callback_unregistered_earlier_in_the_same_pass_is_not_called)
{
    tagged victim{&log, 2, xplm_Phase_Gauges, 0};
    changer killer{&log, 1, {xplm_Phase_Gauges, &victim}, false};
    XPLMRegisterDrawCallback(change_then_log, xplm_Phase_Gauges, 0, &killer);
    XPLMRegisterDrawCallback(log_draw, xplm_Phase_Gauges, 0, &victim);
    h.run_frames(2);
    EXPECT_THAT(log.ids, ElementsAre(1, 1));
}

TEST_F(draw_phases, a_callback_registered_from_a_callback_runs_from_its_next_pass_on)
{
    tagged same_pass{&log, 2, xplm_Phase_Gauges, 0};
    tagged later_phase{&log, 3, xplm_Phase_Window, 1};
    changer adds_same{&log, 1, {xplm_Phase_Gauges, &same_pass}, true};
    changer adds_later{&log, 4, {xplm_Phase_Window, &later_phase}, true};
    XPLMRegisterDrawCallback(change_then_log, xplm_Phase_Gauges, 0, &adds_same);
    XPLMRegisterDrawCallback(change_then_log, xplm_Phase_Gauges, 0, &adds_later);
    h.run_frames(2);
    // Frame 1: gauges pass 1, 4; window pass 3. Frame 2: gauges 1, 4, 2; window 3.
    EXPECT_THAT(log.ids, ElementsAre(1, 4, 3, 1, 4, 2, 3));
}

int slow_draw(XPLMDrawingPhase, int, void *)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return 1;
}

void slow_window(XPLMWindowID, void *)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST_F(draw_phases, timing_measures_the_plugins_callbacks_of_the_last_frame_only_when_asked)
{
    XPLMRegisterDrawCallback(slow_draw, xplm_Phase_Gauges, 0, nullptr);
    for (int i = 0; i < 2; i++) {
        XPLMCreateWindow_t p = host_test::window_params({0, 10, 10, 0});
        p.drawWindowFunc = slow_window;
        XPLMCreateWindowEx(&p);
    }
    h.run_frames(1);
    EXPECT_EQ(h.last_plugin_timing().draw_callbacks_us, 0.0);
    EXPECT_EQ(h.last_plugin_timing().window_draws, 0);

    h.set_plugin_timing(true, true);
    h.run_frames(2);
    const simhost::plugin_timing t = h.last_plugin_timing();
    EXPECT_GE(t.draw_callbacks_us, 2000.0);
    EXPECT_LT(t.draw_callbacks_us, 1e6) << "one frame's worth, not a running total";
    EXPECT_EQ(t.window_draws, 2);
    EXPECT_GE(t.window_draws_us, 2000.0);
}

// A cockpit device's screen: its before-callbacks, its picture, its
// after-callbacks, each with the screen bound and named by the datarefs.
struct device_call {
    int before;
    GLint bound;
    int fbo;
    std::vector<int> viewport;
};
struct device_calls {
    std::vector<device_call> calls;
    int before_result = 1;
};

int record_device(XPLMDeviceID device, int before, void *refcon)
{
    auto *log = static_cast<device_calls *>(refcon);
    EXPECT_EQ(device, xplm_device_G1000_PFD_1);
    device_call c{before, 0, XPLMGetDatai(XPLMFindDataRef("sim/graphics/view/current_gl_fbo")), {0, 0, 0, 0}};
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &c.bound);
    XPLMGetDatavi(XPLMFindDataRef("sim/graphics/view/viewport"), c.viewport.data(), 0, 4);
    log->calls.push_back(c);
    if (before) {
        // Red, which the simulator's picture covers unless it is kept from drawing.
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    return before ? log->before_result : 0;
}

TEST_F(draw_phases, a_cockpit_device_is_drawn_between_its_callbacks_on_its_own_screen_unless_one_says_0)
{
    using device = simhost::host::device;
    ASSERT_TRUE(h.load_aircraft({{device::g1000_pfd_1, 1280, 800}, {device::g1000_mfd}}));
    device_calls log;
    XPLMCustomizeAvionics_t params{};
    params.structSize = sizeof(params);
    params.deviceId = xplm_device_G1000_PFD_1;
    params.drawCallbackBefore = record_device;
    params.drawCallbackAfter = record_device;
    params.refcon = &log;
    ASSERT_NE(XPLMRegisterAvionicsCallbacksEx(&params), nullptr);
    for (int before_result : {1, 0}) {
        SCOPED_TRACE(before_result == 1 ? "drawn" : "kept from drawing");
        log = device_calls{{}, before_result};
        h.run_frames(1);
        const GLint screen = static_cast<GLint>(h.device_framebuffer(device::g1000_pfd_1));
        ASSERT_NE(screen, 0);
        EXPECT_NE(h.device_framebuffer(device::g1000_mfd), 0u) << "a screen of its own";
        ASSERT_EQ(log.calls.size(), 2u);
        for (size_t i = 0; i < 2; i++) {
            EXPECT_EQ(log.calls[i].before, i == 0 ? 1 : 0);
            EXPECT_EQ(log.calls[i].bound, screen);
            EXPECT_EQ(log.calls[i].fbo, screen);
            EXPECT_THAT(log.calls[i].viewport, ElementsAre(0, 0, 1280, 800));
        }
        const rgba centre = pixel(static_cast<unsigned>(screen), 640, 100);
        EXPECT_EQ(centre == (rgba{255, 0, 0, 255}), before_result == 0) << "red only when not drawn over";
    }
    EXPECT_EQ(XPLMGetDatai(XPLMFindDataRef("sim/graphics/view/current_gl_fbo")), 0)
        << "outside the callbacks";

    // Not drawn, or no longer used: no calls.
    ASSERT_TRUE(h.set_device_drawn(device::g1000_pfd_1, false));
    log.calls.clear();
    h.run_frames(1);
    ASSERT_TRUE(h.load_aircraft({}));
    h.run_frames(1);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_TRUE(h.unexpected_calls().empty());
}

// Text drawn from a window: where the texturing it turned on stands after it.
struct text_seen {
    GLboolean texturing_after_text = GL_TRUE;
    GLboolean texturing_set_again = GL_FALSE;
};

void draw_text_window(XPLMWindowID, void *refcon)
{
    auto *seen = static_cast<text_seen *>(refcon);
    XPLMSetGraphicsState(0, 1, 0, 0, 1, 0, 0);
    float red[3] = {1, 0, 0};
    XPLMDrawString(red, 10, 20, "H\x01", nullptr, xplmFont_Basic);
    int wrap = 18;
    XPLMDrawString(red, 60, 40, "ab cd", &wrap, xplmFont_Proportional);
    seen->texturing_after_text = glIsEnabled(GL_TEXTURE_2D);
    // The cache knows the text turned texturing off, so this is not skipped.
    XPLMSetGraphicsState(0, 1, 0, 0, 1, 0, 0);
    seen->texturing_set_again = glIsEnabled(GL_TEXTURE_2D);
    XPLMSetGraphicsState(0, 0, 0, 0, 1, 0, 0);
}

TEST(text, is_drawn_in_the_windows_coordinates_through_the_state_cache_leaving_the_rest_as_found)
{
    simhost::host h;
    h.set_screen_size(200, 100);
    h.set_backgrounds(false);
    ASSERT_TRUE(h.init_gl()) << h.error();
    text_seen seen;
    XPLMCreateWindow_t p = window_params({0, 100, 120, 0});
    p.drawWindowFunc = draw_text_window;
    p.refcon = &seen;
    XPLMCreateWindowEx(&p);
    h.run_frames(1);
    EXPECT_FALSE(seen.texturing_after_text);
    EXPECT_TRUE(seen.texturing_set_again);
    EXPECT_TRUE(h.unexpected_calls().empty()) << "no unmanaged state changed, no GL error";

    // The cell's lower-left corner at (10, 20); an H's crossbar four rows down its nine.
    const unsigned screen = h.screen_framebuffer();
    const rgba red{255, 0, 0, 255}, black{0, 0, 0, 255};
    for (int x = 10; x < 15; x++)
        EXPECT_EQ(pixel(screen, x, 25), red) << x;
    EXPECT_EQ(pixel(screen, 12, 28), black) << "the gap at the top of the H";
    EXPECT_EQ(pixel(screen, 16, 28), red) << "a character it lacks is a box, a cell on";
    EXPECT_EQ(pixel(screen, 61, 46), red) << "the top of the a";
    EXPECT_EQ(pixel(screen, 60, 35), red) << "wrapped: 'cd' a line lower, the c's stem";
    EXPECT_EQ(pixel(screen, 78, 45), black) << "nothing after 'ab' on the first line";

    int width = 0, height = 0, digits = 1;
    XPLMGetFontDimensions(xplmFont_Basic, &width, &height, &digits);
    EXPECT_EQ(std::make_tuple(width, height, digits), std::make_tuple(6, 10, 0));
    EXPECT_EQ(XPLMMeasureString(xplmFont_Proportional, "abcdef", 4), 24.0f);
    EXPECT_TRUE(h.unexpected_calls().empty());
    XPLMMeasureString(5, "a", 1);
    EXPECT_THAT(h.unexpected_calls(), ElementsAre("XPLMMeasureString")) << "a font no longer offered";
}

TEST(window_frame, a_decorated_window_is_drawn_on_a_backing_under_a_title_bar_with_a_close_box)
{
    simhost::host h;
    h.set_screen_size(200, 100);
    h.set_backgrounds(false);
    ASSERT_TRUE(h.init_gl()) << h.error();
    XPLMCreateWindow_t p = window_params({20, 50, 180, 30});
    p.decorateAsFloatingWindow = xplm_WindowDecorationRoundRectangle;
    XPLMSetWindowTitle(XPLMCreateWindowEx(&p), "Regions");
    h.run_frames(1);
    const unsigned screen = h.screen_framebuffer();
    EXPECT_EQ(pixel(screen, 30, 35), (rgba{31, 46, 71, 255})) << "the backing";
    EXPECT_EQ(pixel(screen, 100, 72), (rgba{13, 20, 36, 255})) << "the title bar";
    EXPECT_EQ(pixel(screen, 160, 69), (rgba{153, 38, 38, 255})) << "the close box";
    EXPECT_EQ(pixel(screen, 100, 20), (rgba{0, 0, 0, 255}));
    EXPECT_TRUE(h.unexpected_calls().empty());
}

TEST(draw_without_gl, skips_the_draw_phases_and_says_so_once)
{
    simhost::host h;
    call_log log;
    tagged t{&log, 1, xplm_Phase_Window, 0};
    ASSERT_EQ(XPLMRegisterDrawCallback(log_draw, xplm_Phase_Window, 0, &t), 1);
    h.run_frames(3);
    EXPECT_TRUE(log.ids.empty());
    size_t notes = 0;
    for (const std::string &m : h.host_messages())
        notes += m.find("draw phases skipped") != std::string::npos;
    EXPECT_EQ(notes, 1u);
}

} // namespace
