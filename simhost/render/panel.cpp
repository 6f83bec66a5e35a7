#include "render/panel.h"

#include "render/panel_faces.h"

#include "gl/gl_state.h"

#include <algorithm>
#include <cstdio>

namespace simhost::detail {

namespace {

const face_kind kinds[] = {face_kind::pfd, face_kind::mfd, face_kind::pfd};

struct grey {
    float r, g, b;
};
// The panel between the displays: a grid, so that a copy of the wrong place
// shows lines where a display has none, whatever place it is.
const grey panel_grey{40 / 255.0f, 40 / 255.0f, 44 / 255.0f};
const grey grid_grey{64 / 255.0f, 64 / 255.0f, 72 / 255.0f};
const int grid_step = 256, grid_line = 4;
// The displays in a pass without the panel's lit elements.
const grey unlit_grey{12 / 255.0f, 12 / 255.0f, 12 / 255.0f};

// Cairo draws with y down, GL rows go up: flipping makes the surface memory
// bottom-up, ready to upload as GL rows.
void flip_y(cairo_t *cr, int height)
{
    cairo_identity_matrix(cr);
    cairo_translate(cr, 0, height);
    cairo_scale(cr, 1, -1);
}

// Fills rectangles of a framebuffer with scissored clears, without
// disturbing the caller's bindings or the clear-related state.
class rect_filler {
public:
    explicit rect_filler(GLuint fbo)
        : draw_(gl_get_int(GL_DRAW_FRAMEBUFFER_BINDING)), scissor_(glIsEnabled(GL_SCISSOR_TEST))
    {
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear_);
        glGetBooleanv(GL_COLOR_WRITEMASK, mask_);
        glGetIntegerv(GL_SCISSOR_BOX, box_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
        glEnable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    ~rect_filler()
    {
        if (scissor_ == GL_FALSE)
            glDisable(GL_SCISSOR_TEST);
        glScissor(box_[0], box_[1], box_[2], box_[3]);
        glColorMask(mask_[0], mask_[1], mask_[2], mask_[3]);
        glClearColor(clear_[0], clear_[1], clear_[2], clear_[3]);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, draw_);
    }
    rect_filler(const rect_filler &) = delete;
    rect_filler &operator=(const rect_filler &) = delete;

    void fill(int x, int y, int w, int h, grey c) const
    {
        glScissor(x, y, w, h);
        glClearColor(c.r, c.g, c.b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

private:
    GLint draw_;
    GLboolean scissor_;
    GLfloat clear_[4];
    GLboolean mask_[4];
    GLint box_[4];
};

} // namespace

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

bool panel::create(int width, int height, const places &faces, std::string &error)
{
    destroy();
    char buf[160];
    const GLint max_size = gl_get_int(GL_MAX_TEXTURE_SIZE);
    if (width < 1 || height < 1 || width > max_size || height > max_size) {
        snprintf(buf, sizeof(buf), "panel %dx%d is not within 1 to the GL texture limit of %d", width, height,
                 max_size);
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
    if (!move_faces(faces, error)) {
        destroy();
        return false;
    }
    return true;
}

bool panel::move_faces(const places &faces, std::string &error)
{
    for (size_t i = 0; i < face_count; i++) {
        const panel_face &at = faces[i];
        face &f = faces_[i];
        f = face{face_name(i), at.x, at.y, at.w, at.h};
        face_surfaces &s = surfaces_[i];
        s.cache.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, f.w, f.h));
        s.work.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, f.w, f.h));
        s.cr.reset(cairo_create(s.work.get()));
        cairo_ptr cache_cr(cairo_create(s.cache.get()));
        const cairo_status_t status = cairo_status(cache_cr.get()) != CAIRO_STATUS_SUCCESS
                                          ? cairo_status(cache_cr.get())
                                          : cairo_status(s.cr.get());
        if (status != CAIRO_STATUS_SUCCESS) {
            error = std::string("panel face ") + f.name + ": " + cairo_status_to_string(status);
            return false;
        }
        flip_y(cache_cr.get(), f.h);
        draw_face_static(cache_cr.get(), kinds[i], f.name, f.w, f.h);
        cairo_surface_flush(s.cache.get());
        flip_y(s.cr.get(), f.h);
    }
    render(0, 0);
    return true;
}

void panel::paint_background(bool lit) const
{
    const rect_filler fill(fbo_);
    fill.fill(0, 0, width_, height_, panel_grey);
    for (int x = 0; x < width_; x += grid_step)
        fill.fill(x, 0, grid_line, height_, grid_grey);
    for (int y = 0; y < height_; y += grid_step)
        fill.fill(0, y, width_, grid_line, grid_grey);
    if (lit)
        return;
    for (const face &f : faces_)
        fill.fill(f.x, f.y, f.w, f.h, unlit_grey);
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
        paint_background(false);
}

void panel::render(double sim_time, long frame)
{
    if (fbo_ == 0)
        return;
    paint_background(true);
    unpack_guard keep;
    glBindTexture(GL_TEXTURE_2D, color_);
    for (size_t i = 0; i < face_count; i++) {
        face_surfaces &s = surfaces_[i];
        const face &f = faces_[i];
        cairo_t *cr = s.cr.get();
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, s.cache.get(), 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);

        draw_face_live(cr, kinds[i], sim_time, frame, f.w, f.h);
        upload(f, s.work.get());
    }
}

} // namespace simhost::detail
