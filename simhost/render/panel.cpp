#include "render/panel.h"

#include "render/panel_faces.h"

#include "gl/gl_state.h"

#include <algorithm>
#include <cstdio>

namespace simhost::detail {

namespace {

const int face_w = 1024, face_h = 768;

const panel::face face_table[] = {
    {"PFD", 0, 2100, face_w, face_h},
    {"MFD", 1024, 0, face_w, face_h},
    {"PFD2", 2048, 0, face_w, face_h},
};

const face_kind kinds[] = {face_kind::pfd, face_kind::mfd, face_kind::pfd};

// The whole panel in a pass without its lit elements.
const float unlit_grey = 12 / 255.0f;

// Cairo draws with y down, GL rows go up: flipping makes the surface memory
// bottom-up, ready to upload as GL rows.
void flip_y(cairo_t *cr)
{
    cairo_identity_matrix(cr);
    cairo_translate(cr, 0, face_h);
    cairo_scale(cr, 1, -1);
}

// Clears a framebuffer to one colour without disturbing the caller's bindings
// or the clear-related state.
void clear_framebuffer(GLuint fbo, float r, float g, float b)
{
    const GLint draw = gl_get_int(GL_DRAW_FRAMEBUFFER_BINDING);
    GLfloat old_clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, old_clear);
    GLboolean old_mask[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, old_mask);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    if (scissor)
        glEnable(GL_SCISSOR_TEST);
    glColorMask(old_mask[0], old_mask[1], old_mask[2], old_mask[3]);
    glClearColor(old_clear[0], old_clear[1], old_clear[2], old_clear[3]);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, draw);
}

} // namespace

const panel::face *panel::faces(size_t &count)
{
    count = face_count;
    return face_table;
}

panel::~panel()
{
    destroy();
}

void panel::destroy()
{
    if (fbo_ != 0)
        glDeleteFramebuffers(1, &fbo_);
    if (color_ != 0)
        glDeleteTextures(1, &color_);
    fbo_ = color_ = 0;
    width_ = height_ = 0;
    for (face_surfaces &s : surfaces_)
        s = face_surfaces{};
}

bool panel::create(int width, int height, std::string &error)
{
    destroy();
    width = std::max(width, min_width);
    height = std::max(height, min_height);
    char buf[160];
    const GLint max_size = gl_get_int(GL_MAX_TEXTURE_SIZE);
    if (width > max_size || height > max_size) {
        snprintf(buf, sizeof(buf), "panel %dx%d exceeds the GL texture limit of %d", width, height, max_size);
        error = buf;
        return false;
    }

    {
        unpack_guard keep;
        glGenTextures(1, &color_);
        glBindTexture(GL_TEXTURE_2D, color_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }

    const GLint draw = gl_get_int(GL_DRAW_FRAMEBUFFER_BINDING);
    const GLint read = gl_get_int(GL_READ_FRAMEBUFFER_BINDING);
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_, 0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, draw);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, read);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        snprintf(buf, sizeof(buf), "panel framebuffer %dx%d incomplete (status 0x%04x)", width, height,
                 status);
        error = buf;
        destroy();
        return false;
    }
    width_ = width;
    height_ = height;
    // The panel grey between the displays, drawn once.
    clear_framebuffer(fbo_, 40 / 255.0f, 40 / 255.0f, 44 / 255.0f);

    if (!create_faces(error)) {
        destroy();
        return false;
    }
    render(0, 0);
    return true;
}

bool panel::create_faces(std::string &error)
{
    for (size_t i = 0; i < face_count; i++) {
        face_surfaces &s = surfaces_[i];
        s.cache.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, face_w, face_h));
        s.work.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, face_w, face_h));
        s.cr.reset(cairo_create(s.work.get()));
        cairo_ptr cache_cr(cairo_create(s.cache.get()));
        const cairo_status_t status = cairo_status(cache_cr.get()) != CAIRO_STATUS_SUCCESS
                                          ? cairo_status(cache_cr.get())
                                          : cairo_status(s.cr.get());
        if (status != CAIRO_STATUS_SUCCESS) {
            error = std::string("panel face ") + face_table[i].name + ": " + cairo_status_to_string(status);
            return false;
        }
        flip_y(cache_cr.get());
        draw_face_static(cache_cr.get(), kinds[i], face_table[i].name);
        cairo_surface_flush(s.cache.get());
        flip_y(s.cr.get());
    }
    return true;
}

void panel::upload(const face &f, cairo_surface_t *picture) const
{
    cairo_surface_flush(picture);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, cairo_image_surface_get_stride(picture) / 4);
    // BGRA as packed 32-bit words is cairo's ARGB32 on either byte order.
    glTexSubImage2D(GL_TEXTURE_2D, 0, f.x, f.y, f.w, f.h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    cairo_image_surface_get_data(picture));
}

void panel::render_unlit()
{
    if (fbo_ != 0)
        clear_framebuffer(fbo_, unlit_grey, unlit_grey, unlit_grey);
}

void panel::render(double sim_time, long frame)
{
    if (fbo_ == 0)
        return;
    unpack_guard keep;
    glBindTexture(GL_TEXTURE_2D, color_);
    for (size_t i = 0; i < face_count; i++) {
        face_surfaces &s = surfaces_[i];
        cairo_t *cr = s.cr.get();
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, s.cache.get(), 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);

        draw_face_live(cr, kinds[i], sim_time, frame);
        upload(face_table[i], s.work.get());
    }
}

} // namespace simhost::detail
