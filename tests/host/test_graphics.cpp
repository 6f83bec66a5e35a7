// The host's GL: a real context without X server or GPU, the screen the draw
// phases render into, and the graphics state and textures the XPLM sets.

#include "XPLMDataAccess.h"
#include "XPLMDisplay.h"
#include "XPLMGraphics.h"
#include "host.h"

#include "gl/gl_api.h"

#include <gmock/gmock.h>

#include <array>
#include <vector>

namespace {

const int side = 32;

class graphics : public ::testing::Test {
protected:
    simhost::host h;

    void SetUp() override
    {
        ASSERT_TRUE(h.set_screen_size(side, side));
        h.set_backgrounds(false);
        ASSERT_TRUE(h.init_gl()) << h.error();
    }

    std::array<unsigned char, 4> pixel(int x, int y) const
    {
        std::array<unsigned char, 4> rgba{};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, h.screen_framebuffer());
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }
};

void quad(float x0, float x1, float r, float g, float b, float a)
{
    glColor4f(r, g, b, a);
    glBegin(GL_QUADS);
    glVertex2f(x0, 0);
    glVertex2f(x1, 0);
    glVertex2f(x1, side);
    glVertex2f(x0, side);
    glEnd();
}

// Left half opaque green; right half red at half alpha, blended over the black screen.
int draw_two_halves(XPLMDrawingPhase, int, void *)
{
    XPLMSetGraphicsState(0, 0, 0, 0, 0, 0, 0);
    quad(0, side / 2, 0, 1, 0, 1);
    XPLMSetGraphicsState(0, 0, 0, 0, 1, 0, 0);
    quad(side / 2, side, 1, 0, 0, 0.5f);
    return 1;
}

TEST_F(graphics, a_draw_callback_renders_in_pixel_coordinates_into_the_screen_that_reads_back)
{
    EXPECT_FALSE(h.gl_renderer().empty());
    EXPECT_FALSE(h.set_screen_size(64, 64)) << "the screen exists already";
    ASSERT_EQ(XPLMRegisterDrawCallback(draw_two_halves, xplm_Phase_Window, 0, nullptr), 1);
    h.run_frames(1);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_THAT(pixel(2, 2), ::testing::ElementsAre(0, 255, 0, 255));
    std::array<unsigned char, 4> blended = pixel(side - 2, side - 2);
    EXPECT_NEAR(blended[0], 128, 2);
    EXPECT_EQ(blended[1], 0);
    EXPECT_EQ(blended[2], 0);
}

TEST_F(graphics, each_frame_starts_from_a_cleared_screen)
{
    ASSERT_EQ(XPLMRegisterDrawCallback(draw_two_halves, xplm_Phase_Window, 0, nullptr), 1);
    h.run_frames(1);
    XPLMUnregisterDrawCallback(draw_two_halves, xplm_Phase_Window, 0, nullptr);
    h.run_frames(1);
    EXPECT_THAT(pixel(2, 2), ::testing::ElementsAre(0, 0, 0, 255));
}

struct state_case {
    const char *name;
    std::array<int, 7> args; // fog, units, lighting, alpha test, blend, depth test, depth write
    GLenum cap;
};

void PrintTo(const state_case &c, std::ostream *os)
{
    *os << c.name;
}

class graphics_state : public graphics, public ::testing::WithParamInterface<state_case> {};

TEST_P(graphics_state, turns_its_gl_capability_on_and_off)
{
    const state_case &c = GetParam();
    auto set = [](const std::array<int, 7> &a) {
        XPLMSetGraphicsState(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
    };
    set(c.args);
    EXPECT_TRUE(glIsEnabled(c.cap));
    set({0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(glIsEnabled(c.cap));
}

TEST_P(graphics_state, is_skipped_where_the_cache_believes_it_set_so_gl_calls_past_it_leave_it_stale)
{
    const state_case &c = GetParam();
    const std::array<int, 7> &a = c.args;
    XPLMSetGraphicsState(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
    glDisable(c.cap);
    XPLMSetGraphicsState(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
    EXPECT_FALSE(glIsEnabled(c.cap));
}

INSTANTIATE_TEST_SUITE_P(caps, graphics_state,
                         ::testing::Values(state_case{"fog", {1, 0, 0, 0, 0, 0, 0}, GL_FOG},
                                           state_case{"texturing", {0, 1, 0, 0, 0, 0, 0}, GL_TEXTURE_2D},
                                           state_case{"lighting", {0, 0, 1, 0, 0, 0, 0}, GL_LIGHTING},
                                           state_case{"alpha_testing", {0, 0, 0, 1, 0, 0, 0}, GL_ALPHA_TEST},
                                           state_case{"alpha_blending", {0, 0, 0, 0, 1, 0, 0}, GL_BLEND},
                                           state_case{"depth_testing", {0, 0, 0, 0, 0, 1, 0}, GL_DEPTH_TEST}),
                         [](const ::testing::TestParamInfo<state_case> &info) {
                             return std::string(info.param.name);
                         });

GLint get_int(GLenum what)
{
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

TEST_F(graphics, depth_writing_sets_the_depth_mask_and_the_blend_function_is_left_alone)
{
    glBlendFunc(GL_ONE, GL_ZERO);
    XPLMSetGraphicsState(0, 0, 0, 0, 1, 0, 1);
    EXPECT_EQ(get_int(GL_BLEND_SRC_RGB), GL_ONE) << "unmanaged state";
    EXPECT_EQ(get_int(GL_BLEND_DST_RGB), GL_ZERO);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_TRUE);
    XPLMSetGraphicsState(0, 0, 0, 0, 1, 0, 0);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_FALSE);
}

TEST_F(graphics, the_number_of_texture_units_enables_that_many_from_unit_0)
{
    XPLMSetGraphicsState(0, 2, 0, 0, 0, 0, 0);
    for (int unit = 0; unit < 4; unit++) {
        glActiveTexture(GL_TEXTURE0 + unit);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), unit < 2 ? GL_TRUE : GL_FALSE) << "unit " << unit;
    }
    glActiveTexture(GL_TEXTURE0);
    XPLMSetGraphicsState(0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(get_int(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
}

TEST_F(graphics, textures_are_generated_and_bound_to_the_unit_asked_for)
{
    int ids[2] = {0, 0};
    XPLMGenerateTextureNumbers(ids, 2);
    EXPECT_NE(ids[0], 0);
    EXPECT_NE(ids[1], 0);
    EXPECT_NE(ids[0], ids[1]);

    XPLMBindTexture2d(ids[1], 1);
    EXPECT_EQ(get_int(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(get_int(GL_TEXTURE_BINDING_2D), ids[1]);
    EXPECT_TRUE(h.unexpected_calls().empty());

    XPLMBindTexture2d(ids[0], 9);
    EXPECT_EQ(get_int(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(get_int(GL_TEXTURE_BINDING_2D), ids[0]);
    EXPECT_THAT(h.unexpected_calls(), ::testing::ElementsAre("XPLMBindTexture2d"));
}

TEST_F(graphics, a_freed_texture_name_comes_back_lowest_first_and_a_bind_the_cache_holds_is_skipped)
{
    GLuint first = 0, second = 0;
    glGenTextures(1, &first);
    glGenTextures(1, &second);
    XPLMBindTexture2d(static_cast<int>(first), 0);
    const GLuint both[] = {second, first};
    glDeleteTextures(2, both);
    GLuint again = 0;
    glGenTextures(1, &again);
    EXPECT_EQ(again, first);
    XPLMBindTexture2d(static_cast<int>(again), 0);
    EXPECT_EQ(get_int(GL_TEXTURE_BINDING_2D), 0) << "the cache still held the name: no bind";
    XPLMBindTexture2d(0, 0);
    XPLMBindTexture2d(static_cast<int>(again), 0);
    EXPECT_EQ(get_int(GL_TEXTURE_BINDING_2D), static_cast<GLint>(again));

    h.set_texture_name_reuse(false);
    GLuint fresh = 0;
    glGenTextures(1, &fresh);
    EXPECT_GT(fresh, second) << "the driver's own habit: never a freed name";
    glDeleteTextures(1, &fresh);
    glDeleteTextures(1, &again);
}

// Callbacks that leave unmanaged state changed, each with what it changes.
struct leaving_case {
    const char *name;
    void (*leave)();
    const char *note;
};

void PrintTo(const leaving_case &c, std::ostream *os)
{
    *os << c.name;
}

const char *const state_note = "GL state left changed by a callback";
const char *const error_note = "GL error left by a callback";

class callback_leaving : public graphics, public ::testing::WithParamInterface<leaving_case> {
protected:
    std::array<GLfloat, 4> colour_found{};
    static int draw(XPLMDrawingPhase, int, void *refcon)
    {
        auto *self = static_cast<callback_leaving *>(refcon);
        glGetFloatv(GL_CURRENT_COLOR, self->colour_found.data());
        self->GetParam().leave();
        return 1;
    }
};

TEST_P(callback_leaving, is_noted_as_a_misuse_and_put_right_for_the_next)
{
    const leaving_case &c = GetParam();
    ASSERT_EQ(XPLMRegisterDrawCallback(draw, xplm_Phase_Window, 0, this), 1);
    h.run_frames(2);
    EXPECT_THAT(colour_found, ::testing::Not(::testing::ElementsAre(1, 1, 1, 1)))
        << "the current colour is disposable: never white on entry";
    EXPECT_EQ(h.unexpected_call_count(state_note), c.note == state_note ? 2u : 0u);
    EXPECT_EQ(h.unexpected_call_count(error_note), c.note == error_note ? 2u : 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(
    states, callback_leaving,
    ::testing::Values(leaving_case{"nothing", [] {}, nullptr},
                      leaving_case{"framebuffer", [] { glBindFramebuffer(GL_FRAMEBUFFER, 0); }, state_note},
                      leaving_case{"viewport", [] { glViewport(1, 2, 3, 4); }, state_note},
                      leaving_case{"blend_function", [] { glBlendFunc(GL_ONE, GL_ONE); }, state_note},
                      leaving_case{"matrix_mode", [] { glMatrixMode(GL_TEXTURE); }, state_note},
                      leaving_case{"unpack_alignment", [] { glPixelStorei(GL_UNPACK_ALIGNMENT, 1); },
                                   state_note},
                      leaving_case{"scissor", [] { glEnable(GL_SCISSOR_TEST); }, state_note},
                      leaving_case{"gl_error", [] { glEnable(0xFFFF); }, error_note}),
    [](const ::testing::TestParamInfo<leaving_case> &info) { return std::string(info.param.name); });

int record_render_type(XPLMDrawingPhase, int, void *refcon)
{
    static_cast<std::vector<int> *>(refcon)->push_back(
        XPLMGetDatai(XPLMFindDataRef("sim/graphics/view/panel_render_type")));
    return 1;
}

TEST_F(graphics, the_gauges_phase_runs_once_per_panel_pass_with_its_render_type)
{
    std::vector<int> seen;
    ASSERT_EQ(XPLMRegisterDrawCallback(record_render_type, xplm_Phase_Gauges, 0, &seen), 1);
    h.run_frames(1);
    EXPECT_THAT(seen, ::testing::ElementsAre(1, 2)) << "the unlit pass, then the lit one";
    seen.clear();
    h.set_panel_passes({2});
    h.run_frames(2);
    EXPECT_THAT(seen, ::testing::ElementsAre(2, 2));
    seen.clear();
    h.set_panel_passes({});
    h.run_frames(1);
    EXPECT_TRUE(seen.empty());
}

TEST(graphics_without_gl, does_nothing_and_hands_out_no_texture_numbers)
{
    simhost::host h;
    int ids[2] = {7, 7};
    XPLMGenerateTextureNumbers(ids, 2);
    EXPECT_EQ(ids[0], 0);
    EXPECT_EQ(ids[1], 0);
    XPLMSetGraphicsState(1, 2, 1, 1, 1, 1, 1);
    XPLMBindTexture2d(5, 0);
    EXPECT_TRUE(h.unexpected_calls().empty());
}

} // namespace
