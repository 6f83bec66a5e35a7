#include "render/device_screens.h"

#include "gl/gl_state.h"

#include "render/cairo_ptr.h"

#include <cstdio>

namespace simhost::detail {

namespace {

// Pure cyan is the orientation mark's alone, as pure magenta is the panel's.
const double teal[3] = {0 / 255.0, 84 / 255.0, 96 / 255.0};
const double grid[3] = {0 / 255.0, 124 / 255.0, 140 / 255.0};
const int mark_size = 24, grid_step = 64, bar_width = 16;

void centred_text(cairo_t *cr, double cx, double y, double size, const char *s)
{
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s, &e);
    cairo_move_to(cr, cx - e.x_advance / 2, y);
    cairo_show_text(cr, s);
}

// In screen texels with y down; the caller flips, so that the rows come out
// bottom-up, as GL takes them.
void paint_static(cairo_t *cr, const char *name, int w, int h)
{
    cairo_set_source_rgb(cr, teal[0], teal[1], teal[2]);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, grid[0], grid[1], grid[2]);
    cairo_set_line_width(cr, 1);
    for (int x = grid_step; x < w; x += grid_step) {
        cairo_move_to(cr, x + 0.5, 0);
        cairo_line_to(cr, x + 0.5, h);
    }
    for (int y = grid_step; y < h; y += grid_step) {
        cairo_move_to(cr, 0, y + 0.5);
        cairo_line_to(cr, w, y + 0.5);
    }
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 4);
    cairo_rectangle(cr, 2, 2, w - 4, h - 4);
    cairo_stroke(cr);

    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    char size[32];
    snprintf(size, sizeof(size), "%d x %d", w, h);
    centred_text(cr, w / 2.0, h * 0.38, h / 16.0, "COCKPIT DEVICE");
    centred_text(cr, w / 2.0, h * 0.55, h / 8.0, name);
    centred_text(cr, w / 2.0, h * 0.68, h / 16.0, size);

    cairo_set_source_rgb(cr, 0, 1, 1);
    cairo_rectangle(cr, 0, 0, mark_size, mark_size);
    cairo_fill(cr);
}

unsigned make_face(const char *name, int w, int h, std::string &error)
{
    cairo_surface_ptr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    cairo_ptr cr(cairo_create(surface.get()));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        error = std::string("device screen: ") + cairo_status_to_string(cairo_status(cr.get()));
        return 0;
    }
    cairo_translate(cr.get(), 0, h);
    cairo_scale(cr.get(), 1, -1);
    paint_static(cr.get(), name, w, h);
    cairo_surface_flush(surface.get());

    unpack_guard keep;
    glPixelStorei(GL_UNPACK_ROW_LENGTH, cairo_image_surface_get_stride(surface.get()) / 4);
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    // BGRA as packed 32-bit words is cairo's ARGB32 on either byte order.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 cairo_image_surface_get_data(surface.get()));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return tex;
}

void quad(int x0, int y0, int x1, int y1)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(x0, y0);
    glTexCoord2f(1, 0);
    glVertex2i(x1, y0);
    glTexCoord2f(1, 1);
    glVertex2i(x1, y1);
    glTexCoord2f(0, 1);
    glVertex2i(x0, y1);
    glEnd();
}

} // namespace

device_screens::~device_screens()
{
    for (auto &kv : screens_) {
        GLuint tex = kv.second->face;
        if (tex != 0)
            glDeleteTextures(1, &tex);
    }
}

const render_target *device_screens::screen(int device, const char *name, int width, int height,
                                            std::string &error)
{
    std::unique_ptr<screen_data> &s = screens_[device];
    if (s != nullptr && s->target.width() == width && s->target.height() == height) {
        glBindFramebuffer(GL_FRAMEBUFFER, s->target.framebuffer());
        return &s->target;
    }
    if (s != nullptr && s->face != 0) {
        GLuint tex = s->face;
        glDeleteTextures(1, &tex);
    }
    s = std::make_unique<screen_data>();
    const GLint max_size = gl_get_int(GL_MAX_TEXTURE_SIZE);
    if (width > max_size || height > max_size) {
        error = "exceeds the GL texture limit of " + std::to_string(max_size);
        s.reset();
        return nullptr;
    }
    // The texture binding stays as the simulator's cache believes it.
    const GLint bound = gl_get_int(GL_TEXTURE_BINDING_2D);
    s->face = make_face(name, width, height, error);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    if (s->face == 0 || !s->target.create(width, height, error)) {
        if (s->face != 0) {
            GLuint tex = s->face;
            glDeleteTextures(1, &tex);
        }
        s.reset();
        return nullptr;
    }
    return &s->target;
}

const render_target *device_screens::find(int device) const
{
    auto it = screens_.find(device);
    return it == screens_.end() || it->second == nullptr ? nullptr : &it->second->target;
}

void device_screens::draw_face(int device, long frame) const
{
    auto it = screens_.find(device);
    if (it == screens_.end() || it->second == nullptr)
        return;
    const screen_data &s = *it->second;
    const int w = s.target.width(), h = s.target.height();
    const GLint old_unit = gl_get_int(GL_ACTIVE_TEXTURE);
    const GLint old_program = gl_get_int(GL_CURRENT_PROGRAM);
    glActiveTexture(GL_TEXTURE0);
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(0);
    const GLenum off[] = {GL_BLEND, GL_DEPTH_TEST, GL_LIGHTING, GL_FOG, GL_ALPHA_TEST, GL_CULL_FACE};
    for (GLenum cap : off)
        glDisable(cap);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, s.face);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    quad(0, 0, w, h);

    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 176 / 255.0f, 0, 1);
    // Below the orientation mark, which nothing may cover.
    const int sweep = w > bar_width ? w - bar_width : 1;
    const int x = static_cast<int>((frame * 8) % sweep);
    quad(x, 0, x + bar_width, h > 2 * mark_size ? h - 2 * mark_size : h);

    glPopAttrib();
    glUseProgram(static_cast<GLuint>(old_program));
    glActiveTexture(static_cast<GLenum>(old_unit));
}

void device_screens::draw_dark(int device) const
{
    auto it = screens_.find(device);
    if (it != screens_.end() && it->second != nullptr)
        it->second->target.clear(0, 0, 0);
}

} // namespace simhost::detail
