#include "render/monitor_background.h"

#include "gl/gl_state.h"

#include "render/cairo_ptr.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace simhost::detail {

namespace {

void paint(cairo_t *cr, int width, int height, const std::string &caption)
{
    // Cairo draws with y down, GL rows go up: flipping makes the memory bottom-up.
    cairo_translate(cr, 0, height);
    cairo_scale(cr, 1, -1);

    const double horizon = 0.6;
    cairo_pattern_t *gradient = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(gradient, 0, 18 / 255.0, 30 / 255.0, 52 / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, horizon, 64 / 255.0, 92 / 255.0, 128 / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, horizon, 58 / 255.0, 50 / 255.0, 38 / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 1, 30 / 255.0, 26 / 255.0, 20 / 255.0);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);

    const double size = std::clamp(height / 30.0, 10.0, 28.0);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, caption.c_str(), &e);
    // Subdued: the windows in front are what a screenshot is about.
    cairo_set_source_rgba(cr, 190 / 255.0, 195 / 255.0, 205 / 255.0, 0.6);
    cairo_move_to(cr, (width - e.x_advance) / 2, height - 2 * size);
    cairo_show_text(cr, caption.c_str());
}

} // namespace

monitor_background::~monitor_background()
{
    destroy();
}

void monitor_background::destroy()
{
    if (texture_ != 0)
        glDeleteTextures(1, &texture_);
    texture_ = 0;
    width_ = height_ = 0;
}

bool monitor_background::create(int width, int height, const std::string &caption, std::string &error)
{
    destroy();
    char buf[160];
    const GLint max_size = gl_get_int(GL_MAX_TEXTURE_SIZE);
    if (width <= 0 || height <= 0 || width > max_size || height > max_size) {
        snprintf(buf, sizeof(buf), "monitor background %dx%d is empty or exceeds the GL texture limit of %d",
                 width, height, max_size);
        error = buf;
        return false;
    }

    cairo_surface_ptr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    cairo_ptr cr(cairo_create(surface.get()));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        error = std::string("monitor background: ") + cairo_status_to_string(cairo_status(cr.get()));
        return false;
    }
    paint(cr.get(), width, height, caption);
    cairo_surface_flush(surface.get());

    unpack_guard keep;
    glPixelStorei(GL_UNPACK_ROW_LENGTH, cairo_image_surface_get_stride(surface.get()) / 4);

    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    // BGRA as packed 32-bit words is cairo's ARGB32 on either byte order.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 cairo_image_surface_get_data(surface.get()));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    width_ = width;
    height_ = height;
    return true;
}

void monitor_background::draw() const
{
    if (texture_ == 0)
        return;
    const GLint old_unit = gl_get_int(GL_ACTIVE_TEXTURE);
    const GLint old_program = gl_get_int(GL_CURRENT_PROGRAM);
    glActiveTexture(GL_TEXTURE0);
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_TRANSFORM_BIT);
    glUseProgram(0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width_, 0, height_, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    const GLenum off[] = {GL_BLEND, GL_DEPTH_TEST, GL_LIGHTING, GL_FOG, GL_ALPHA_TEST, GL_CULL_FACE};
    for (GLenum cap : off)
        glDisable(cap);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 0);
    glVertex2f(width_, 0);
    glTexCoord2f(1, 1);
    glVertex2f(width_, height_);
    glTexCoord2f(0, 1);
    glVertex2f(0, height_);
    glEnd();

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    glUseProgram(old_program);
    glActiveTexture(old_unit);
}

} // namespace simhost::detail
