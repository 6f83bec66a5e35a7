// The panel the simulator renders for the plugin to copy its displays from,
// the pictures behind the windows, and screenshots as PNG files.

#include "gl/gl_context.h"
#include "render/monitor_background.h"
#include "render/panel.h"
#include "render/png_image.h"
#include "render/render_target.h"
#include "temp_dir.h"

#include "gl/gl_api.h"

#include <cairo.h>
#include <gmock/gmock.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

using simhost::detail::panel;
using rgba_t = std::array<unsigned char, 4>;

const rgba_t magenta{255, 0, 255, 255};
const rgba_t panel_grey{40, 40, 44, 255};

GLint get_int(GLenum what)
{
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

rgba_t pixel(unsigned fbo, int x, int y)
{
    std::vector<unsigned char> px;
    EXPECT_TRUE(simhost::detail::read_rgba(fbo, x, y, 1, 1, px));
    rgba_t out{};
    if (px.size() == 4)
        memcpy(out.data(), px.data(), 4);
    return out;
}

std::vector<unsigned char> read_all(const panel &p)
{
    std::vector<unsigned char> px;
    EXPECT_TRUE(simhost::detail::read_rgba(p.framebuffer(), 0, 0, p.width(), p.height(), px));
    return px;
}

struct loaded_png {
    int width = 0, height = 0;
    std::vector<rgba_t> pixels; // top row first
    rgba_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

loaded_png load_png(const std::string &path)
{
    loaded_png out;
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> s(
        cairo_image_surface_create_from_png(path.c_str()), cairo_surface_destroy);
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS)
        return out;
    out.width = cairo_image_surface_get_width(s.get());
    out.height = cairo_image_surface_get_height(s.get());
    const unsigned char *data = cairo_image_surface_get_data(s.get());
    const int stride = cairo_image_surface_get_stride(s.get());
    for (int y = 0; y < out.height; y++) {
        for (int x = 0; x < out.width; x++) {
            uint32_t v;
            memcpy(&v, data + y * stride + x * 4, 4);
            const unsigned a = v >> 24;
            auto un = [a](unsigned c) {
                return static_cast<unsigned char>(a == 0 ? 0 : (c * 255 + a / 2) / a);
            };
            out.pixels.push_back(
                {un(v >> 16 & 0xff), un(v >> 8 & 0xff), un(v & 0xff), static_cast<unsigned char>(a)});
        }
    }
    return out;
}

class gl_test : public ::testing::Test {
protected:
    simhost::gl_context ctx;
    void SetUp() override { ASSERT_TRUE(ctx.create()) << ctx.error(); }
};

// A panel as an aircraft has it.
bool create(panel &p, const simhost::aircraft_model &m)
{
    std::string error;
    EXPECT_TRUE(p.create(m.panel_width, m.panel_height, m.faces, error)) << error;
    return p.framebuffer() != 0;
}

class panel_test : public gl_test {
protected:
    panel p;
    void SetUp() override
    {
        gl_test::SetUp();
        ASSERT_TRUE(create(p, simhost::aircraft_model{}));
    }
    const panel::face &face(size_t i) const { return p.faces()[i]; }
};

TEST_F(panel_test, is_a_complete_framebuffer_of_exactly_the_aircrafts_panel_size)
{
    EXPECT_EQ(p.width(), 3072);
    EXPECT_EQ(p.height(), 2868);
    glBindFramebuffer(GL_FRAMEBUFFER, p.framebuffer());
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, p.color_texture());
    GLint w = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(w, p.width());

    simhost::aircraft_model tiny;
    tiny.panel_width = tiny.panel_height = 64;
    tiny.faces = {{{0, 32, 32, 32}, {32, 0, 32, 24}, {40, 40, 1, 1}}};
    panel smallest;
    ASSERT_TRUE(create(smallest, tiny));
    EXPECT_EQ(smallest.width(), 64);
    EXPECT_EQ(pixel(smallest.framebuffer(), 0, 63), magenta);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Panels of other sizes, their faces elsewhere and of other shapes: one wider,
// one portrait, one touching the panel's top-right corner.
simhost::aircraft_model square_2048()
{
    simhost::aircraft_model m;
    m.panel_width = m.panel_height = 2048;
    m.faces = {{{100, 1200, 800, 600}, {1000, 200, 800, 600}, {300, 300, 400, 700}}};
    return m;
}

simhost::aircraft_model square_4096()
{
    simhost::aircraft_model m;
    m.panel_width = m.panel_height = 4096;
    m.faces = {{{0, 2048, 2048, 1536}, {2048, 0, 2048, 1024}, {2816, 3072, 1280, 1024}}};
    return m;
}

struct face_case {
    const char *name;
    simhost::aircraft_model (*layout)();
    size_t index;
};

void PrintTo(const face_case &c, std::ostream *os)
{
    *os << c.name;
}

// Off the grid lines the panel is grey; on them a lighter grey.
rgba_t background_at(int x, int y)
{
    return x % 256 < 4 || y % 256 < 4 ? rgba_t{64, 64, 72, 255} : panel_grey;
}

// A point of a face's 1024 x 768 design (y down) where the face shows it.
std::pair<int, int> design_point(const panel::face &f, double x, double y)
{
    return {f.x + static_cast<int>(x * f.w / 1024), f.y + f.h - 1 - static_cast<int>(y * f.h / 768)};
}

void expect_near(const rgba_t &got, const rgba_t &want, const char *what)
{
    for (size_t c = 0; c < 3; c++)
        EXPECT_NEAR(got[c], want[c], 6) << what << " channel " << c;
}

bool inside_a_face(const panel &p, int x, int y)
{
    for (const panel::face &f : p.faces()) {
        if (x >= f.x && x < f.x + f.w && y >= f.y && y < f.y + f.h)
            return true;
    }
    return false;
}

class panel_face : public gl_test, public ::testing::WithParamInterface<face_case> {};

TEST_P(panel_face, fills_the_aircrafts_rectangle_scaled_with_the_marker_24_pixels_in_its_top_left_corner)
{
    const simhost::aircraft_model m = GetParam().layout();
    panel p;
    ASSERT_TRUE(create(p, m));
    EXPECT_EQ(p.width(), m.panel_width);
    EXPECT_EQ(p.height(), m.panel_height);
    const size_t i = GetParam().index;
    const panel::face &f = p.faces()[i];
    const simhost::panel_face &want = m.faces[i];
    EXPECT_EQ(std::vector<int>({f.x, f.y, f.w, f.h}), std::vector<int>({want.x, want.y, want.w, want.h}));
    EXPECT_STREQ(f.name, simhost::face_name(i));

    p.render(4.2, 252);
    const unsigned fbo = p.framebuffer();
    const int top = f.y + f.h - 1, right = f.x + f.w - 1;
    for (auto [x, y] : {std::pair{f.x, top}, {f.x + 23, top}, {f.x, top - 23}, {f.x + 23, top - 23}})
        EXPECT_EQ(pixel(fbo, x, y), magenta) << "marker pixel " << x << "," << y;
    EXPECT_NE(pixel(fbo, f.x + 24, top), magenta);
    EXPECT_NE(pixel(fbo, f.x, top - 24), magenta);
    for (auto [x, y] : {std::pair{right, top}, {f.x, f.y}, {right, f.y}})
        EXPECT_NE(pixel(fbo, x, y), magenta) << "corner " << x << "," << y;

    // The design stretched over the rectangle: sky and ground on a PFD, the
    // engine strip and the map on the MFD.
    if (i == 1) {
        auto [ex, ey] = design_point(f, 110, 460);
        expect_near(pixel(fbo, ex, ey), {22, 24, 30, 255}, "engine strip");
        auto [mx, my] = design_point(f, 762, 425);
        expect_near(pixel(fbo, mx, my), {4, 8, 16, 255}, "map");
    } else {
        auto [sx, sy] = design_point(f, 320, 160);
        expect_near(pixel(fbo, sx, sy), {40, 120, 210, 255}, "sky");
        auto [gx, gy] = design_point(f, 700, 580);
        expect_near(pixel(fbo, gx, gy), {140, 88, 38, 255}, "ground");
    }
    // And not a pixel past it, where the panel has no other face.
    for (auto [x, y] : {std::pair{right + 1, f.y + f.h / 2}, {f.x + f.w / 2, f.y - 1}}) {
        if (x < p.width() && y >= 0 && !inside_a_face(p, x, y)) {
            EXPECT_EQ(pixel(fbo, x, y), background_at(x, y)) << "past the face at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(faces, panel_face,
                         ::testing::Values(face_case{"PFD", [] { return simhost::aircraft_model{}; }, 0},
                                           face_case{"MFD", [] { return simhost::aircraft_model{}; }, 1},
                                           face_case{"PFD2", [] { return simhost::aircraft_model{}; }, 2},
                                           face_case{"PFD_of_a_2048_panel", square_2048, 0},
                                           face_case{"portrait_PFD2_of_a_2048_panel", square_2048, 2},
                                           face_case{"MFD_of_a_4096_panel", square_4096, 1},
                                           face_case{"PFD2_in_the_corner_of_a_4096_panel", square_4096, 2}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(panel_test, outside_the_faces_shows_a_grid_lit_or_not_and_unlit_the_faces_are_dark)
{
    const std::pair<int, int> outside[] = {{0, 0},       {1023, 767}, {1500, 1500}, {0, 2099}, {1024, 2867},
                                           {3071, 2867}, {3071, 768}, {65, 1000},   {130, 131}};
    p.render(1, 60);
    for (auto [x, y] : outside)
        EXPECT_EQ(pixel(p.framebuffer(), x, y), background_at(x, y)) << x << "," << y;
    EXPECT_NE(background_at(0, 0), background_at(5, 5)) << "not one colour";

    p.render_unlit();
    for (auto [x, y] : outside)
        EXPECT_EQ(pixel(p.framebuffer(), x, y), background_at(x, y)) << x << "," << y;
    for (const panel::face &f : p.faces())
        for (auto [x, y] : {std::pair{f.x, f.y + f.h - 1}, {f.x + f.w / 2, f.y + f.h / 2}})
            EXPECT_EQ(pixel(p.framebuffer(), x, y), (rgba_t{12, 12, 12, 255})) << f.name;
}

TEST_F(panel_test, faces_moved_on_the_same_framebuffer_leave_the_grid_where_they_were)
{
    const unsigned fbo = p.framebuffer();
    const panel::face was = face(0);
    simhost::aircraft_model m;
    m.faces[0] = {1500, 1500, 512, 384};
    std::string error;
    ASSERT_TRUE(p.move_faces(m.faces, error)) << error;
    EXPECT_EQ(p.framebuffer(), fbo);
    EXPECT_EQ(pixel(fbo, was.x + 100, was.y + 100), background_at(was.x + 100, was.y + 100));
    EXPECT_EQ(pixel(fbo, 1500, 1500 + 383), magenta);
}

TEST_F(panel_test, moves_inside_the_faces_over_time_and_nothing_outside_them)
{
    p.render(0, 0);
    const std::vector<unsigned char> before = read_all(p);
    p.render(3.7, 222);
    const std::vector<unsigned char> after = read_all(p);
    ASSERT_EQ(before.size(), after.size());

    // The attitude indicator of each PFD, in face-local GL rows.
    const int adi_x0 = 300, adi_x1 = 724, adi_y0 = 768 - 590, adi_y1 = 768 - 150;
    size_t changed_outside = 0, changed_pfd = 0, changed_pfd2 = 0, changed_mfd = 0;
    // read_rgba hands rows top first.
    for (int row = 0; row < p.height(); row++) {
        const int y = p.height() - 1 - row;
        for (int x = 0; x < p.width(); x++) {
            const size_t i = (static_cast<size_t>(row) * p.width() + x) * 4;
            if (memcmp(&before[i], &after[i], 4) == 0)
                continue;
            if (!inside_a_face(p, x, y))
                changed_outside++;
            for (size_t k : {size_t{0}, size_t{2}}) {
                const panel::face &f = face(k);
                const int lx = x - f.x, ly = y - f.y;
                if (lx >= adi_x0 && lx < adi_x1 && ly >= adi_y0 && ly < adi_y1)
                    (k == 0 ? changed_pfd : changed_pfd2)++;
            }
            if (x >= face(1).x && x < face(1).x + 1024 && y < 768)
                changed_mfd++;
        }
    }
    EXPECT_EQ(changed_outside, 0u);
    EXPECT_GT(changed_pfd, 2000u);
    EXPECT_GT(changed_pfd2, 2000u);
    EXPECT_GT(changed_mfd, 200u);
}

TEST_F(panel_test, draws_the_same_picture_for_the_same_moment_leaving_no_trails)
{
    p.render(2.5, 150);
    const std::vector<unsigned char> first = read_all(p);
    p.render(9.0, 540);
    p.render(2.5, 150);
    EXPECT_TRUE(first == read_all(p));
}

TEST_F(panel_test, rendering_leaves_the_callers_bindings_and_unpack_state_as_they_were)
{
    GLuint fbo = 0, tex = 0;
    glGenFramebuffers(1, &fbo);
    glGenTextures(1, &tex);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, tex);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 3);

    p.render(1.5, 90);

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(get_int(GL_DRAW_FRAMEBUFFER_BINDING), static_cast<GLint>(fbo));
    EXPECT_EQ(get_int(GL_READ_FRAMEBUFFER_BINDING), static_cast<GLint>(fbo));
    EXPECT_EQ(get_int(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(get_int(GL_TEXTURE_BINDING_2D), static_cast<GLint>(tex));
    EXPECT_EQ(get_int(GL_UNPACK_ROW_LENGTH), 7);
    EXPECT_EQ(get_int(GL_UNPACK_ALIGNMENT), 1);
    EXPECT_EQ(get_int(GL_UNPACK_SKIP_ROWS), 3);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    glDeleteTextures(1, &tex);
}

TEST_F(panel_test, reading_back_gives_rows_top_first_and_restores_the_read_state)
{
    GLuint other = 0;
    glGenFramebuffers(1, &other);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, other);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);

    // The 30 top rows of the PFD: the marker fills the first 24 of them on the left.
    const panel::face &f = face(0);
    std::vector<unsigned char> px;
    ASSERT_TRUE(simhost::detail::read_rgba(p.framebuffer(), f.x, f.y + f.h - 30, 30, 30, px));
    ASSERT_EQ(px.size(), 30u * 30 * 4);
    auto at = [&](int x, int row) {
        rgba_t c;
        memcpy(c.data(), &px[(static_cast<size_t>(row) * 30 + x) * 4], 4);
        return c;
    };
    EXPECT_EQ(at(5, 0), magenta);
    EXPECT_EQ(at(5, 23), magenta);
    EXPECT_NE(at(5, 29), magenta);

    EXPECT_EQ(get_int(GL_READ_FRAMEBUFFER_BINDING), static_cast<GLint>(other));
    EXPECT_EQ(get_int(GL_PACK_ALIGNMENT), 8);
    EXPECT_FALSE(simhost::detail::read_rgba(other, 0, 0, 1, 1, px)) << "a framebuffer with no picture";
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &other);
}

TEST_F(panel_test, a_face_saved_as_png_has_its_marker_in_the_top_left_of_the_file)
{
    temp_dir dir;
    const panel::face &f = face(1);
    std::string error;
    ASSERT_TRUE(
        simhost::detail::save_framebuffer_png(dir / "mfd.png", p.framebuffer(), f.x, f.y, f.w, f.h, error))
        << error;
    const loaded_png png = load_png(dir / "mfd.png");
    ASSERT_EQ(png.width, 1024);
    ASSERT_EQ(png.height, 768);
    EXPECT_EQ(png.at(0, 0), magenta);
    EXPECT_EQ(png.at(23, 23), magenta);
    EXPECT_NE(png.at(0, 767), magenta);
    EXPECT_NE(png.at(1023, 0), magenta);
    EXPECT_EQ(png.at(512, 600), pixel(p.framebuffer(), f.x + 512, f.y + 767 - 600));
}

TEST(png_image, written_pixels_read_back_with_size_colours_and_orientation)
{
    temp_dir dir;
    // Three columns, two rows, top row first; the last pixel half transparent.
    const unsigned char rgba[] = {255, 0,  0,  255, 0,   255, 0,   255, 0,   0,   255, 255,
                                  10,  20, 30, 255, 255, 255, 255, 255, 200, 100, 50,  128};
    std::string error;
    ASSERT_TRUE(simhost::detail::write_png(dir / "small.png", rgba, 3, 2, error)) << error;
    const loaded_png png = load_png(dir / "small.png");
    ASSERT_EQ(png.width, 3);
    ASSERT_EQ(png.height, 2);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(png.at(i % 3, i / 3), (rgba_t{rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2], 255})) << i;
    const rgba_t half = png.at(2, 1);
    EXPECT_EQ(half[3], 128);
    EXPECT_NEAR(half[0], 200, 2);
    EXPECT_NEAR(half[1], 100, 2);
    EXPECT_NEAR(half[2], 50, 2);
}

TEST(png_image, writing_into_a_missing_folder_fails_with_a_reason_naming_the_path)
{
    temp_dir dir;
    const std::string path = dir / "no/such/folder/shot.png";
    const unsigned char rgba[] = {1, 2, 3, 255};
    std::string error;
    EXPECT_FALSE(simhost::detail::write_png(path, rgba, 1, 1, error));
    EXPECT_THAT(error, ::testing::HasSubstr(path));
}

class monitor_background_test : public gl_test {};

TEST_F(monitor_background_test, shows_sky_over_ground_with_a_caption_and_leaves_gl_state_alone)
{
    const int w = 320, h = 240;
    simhost::detail::monitor_background bg;
    simhost::detail::render_target target;
    std::string error;
    ASSERT_TRUE(bg.create(w, h, "Monitor 1  320 x 240  at (0, 0)", error)) << error;
    ASSERT_TRUE(target.create(w, h, error)) << error;
    target.bind(simhost::rect{0, h, w, 0});
    target.clear(0, 0, 0);

    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glEnable(GL_BLEND);
    glMatrixMode(GL_MODELVIEW);
    GLfloat projection_before[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection_before);

    bg.draw();

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(get_int(GL_TEXTURE_BINDING_2D), static_cast<GLint>(tex));
    EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_MODELVIEW);
    GLfloat projection_after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection_after);
    EXPECT_EQ(memcmp(projection_before, projection_after, sizeof(projection_after)), 0);

    std::vector<unsigned char> px;
    ASSERT_TRUE(simhost::detail::read_rgba(target.framebuffer(), 0, 0, w, h, px));
    auto at = [&](int x, int row) { return &px[(static_cast<size_t>(row) * w + x) * 4]; };
    EXPECT_GT(at(w / 2, 2)[2], at(w / 2, 2)[0]) << "sky blue at the top";
    EXPECT_GT(at(w / 2, h - 3)[0], at(w / 2, h - 3)[2]) << "ground brown at the bottom";
    int brightest_caption = 0;
    for (int row = h * 3 / 4; row < h; row++)
        for (int x = w / 4; x < w * 3 / 4; x++)
            brightest_caption = std::max<int>(brightest_caption, at(x, row)[1]);
    EXPECT_GT(brightest_caption, 100) << "the caption lies in the bottom centre";
    for (size_t i = 0; i < px.size(); i += 4)
        ASSERT_FALSE(px[i] == 255 && px[i + 1] == 0 && px[i + 2] == 255) << "magenta is the panel's marker";
    glDeleteTextures(1, &tex);
}

TEST_F(monitor_background_test, refuses_an_empty_size_with_a_reason)
{
    simhost::detail::monitor_background bg;
    std::string error;
    EXPECT_FALSE(bg.create(0, 768, "Monitor 0", error));
    EXPECT_THAT(error, ::testing::HasSubstr("0x768"));
    EXPECT_EQ(bg.texture(), 0u);
}

} // namespace
