#include "render/png_image.h"

#include "gl/gl_state.h"

#include "render/cairo_ptr.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace simhost::detail {

namespace {

uint32_t premultiplied_argb(const unsigned char *p)
{
    const uint32_t a = p[3];
    auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | mul(p[0]) << 16 | mul(p[1]) << 8 | mul(p[2]);
}

} // namespace

bool read_rgba(unsigned framebuffer, int x, int y, int w, int h, std::vector<unsigned char> &rgba)
{
    if (w <= 0 || h <= 0)
        return false;
    const GLint old_read = gl_get_int(GL_READ_FRAMEBUFFER_BINDING);
    const GLint old_buffer = gl_get_int(GL_PIXEL_PACK_BUFFER_BINDING);
    const GLint old_alignment = gl_get_int(GL_PACK_ALIGNMENT);
    const GLint old_row_length = gl_get_int(GL_PACK_ROW_LENGTH);
    const GLint old_skip_rows = gl_get_int(GL_PACK_SKIP_ROWS);
    const GLint old_skip_pixels = gl_get_int(GL_PACK_SKIP_PIXELS);

    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    bool ok = glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (ok) {
        // The read buffer belongs to the framebuffer object, so it is set and put back here.
        const GLint old_read_buffer = gl_get_int(GL_READ_BUFFER);
        if (framebuffer != 0)
            glReadBuffer(GL_COLOR_ATTACHMENT0);
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glPixelStorei(GL_PACK_SKIP_ROWS, 0);
        glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
        rgba.resize(static_cast<size_t>(w) * h * 4);
        glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        if (framebuffer != 0)
            glReadBuffer(old_read_buffer);

        // GL hands rows bottom-up.
        const size_t row = static_cast<size_t>(w) * 4;
        std::vector<unsigned char> tmp(row);
        for (int top = 0, bottom = h - 1; top < bottom; top++, bottom--) {
            unsigned char *a = rgba.data() + top * row, *b = rgba.data() + bottom * row;
            memcpy(tmp.data(), a, row);
            memcpy(a, b, row);
            memcpy(b, tmp.data(), row);
        }
    }

    glBindFramebuffer(GL_READ_FRAMEBUFFER, old_read);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, old_buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, old_alignment);
    glPixelStorei(GL_PACK_ROW_LENGTH, old_row_length);
    glPixelStorei(GL_PACK_SKIP_ROWS, old_skip_rows);
    glPixelStorei(GL_PACK_SKIP_PIXELS, old_skip_pixels);
    return ok;
}

bool write_png(const std::string &path, const unsigned char *rgba, int w, int h, std::string &error)
{
    if (rgba == nullptr || w <= 0 || h <= 0) {
        char buf[96];
        snprintf(buf, sizeof(buf), "no pixels to write (%dx%d) to ", w, h);
        error = buf + path;
        return false;
    }
    cairo_surface_ptr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        error = "cannot make a " + std::to_string(w) + "x" + std::to_string(h) + " image for " + path + ": " +
                cairo_status_to_string(cairo_surface_status(surface.get()));
        return false;
    }
    cairo_surface_flush(surface.get());
    unsigned char *data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < h; y++) {
        auto *out = reinterpret_cast<uint32_t *>(data + static_cast<size_t>(y) * stride);
        const unsigned char *in = rgba + static_cast<size_t>(y) * w * 4;
        for (int x = 0; x < w; x++)
            out[x] = premultiplied_argb(in + x * 4);
    }
    cairo_surface_mark_dirty(surface.get());

    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

bool save_framebuffer_png(const std::string &path, unsigned framebuffer, int x, int y, int w, int h,
                          std::string &error)
{
    std::vector<unsigned char> rgba;
    if (!read_rgba(framebuffer, x, y, w, h, rgba)) {
        char buf[128];
        snprintf(buf, sizeof(buf), "cannot read %dx%d at (%d, %d) from framebuffer %u for ", w, h, x, y,
                 framebuffer);
        error = buf + path;
        return false;
    }
    return write_png(path, rgba.data(), w, h, error);
}

} // namespace simhost::detail
