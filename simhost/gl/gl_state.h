#pragma once

// Small GL helpers the host's drawing shares: reading an integer state, and
// uploading from client memory without disturbing what a plugin left bound.

#include "gl/gl_api.h"

namespace simhost::detail {

inline GLint gl_get_int(GLenum what)
{
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

// For its lifetime, texture uploads read tightly from client memory; the 2D
// texture of the active unit, the unpack buffer and the unpack layout are put
// back as they were.
class unpack_guard {
public:
    unpack_guard()
        : texture_(gl_get_int(GL_TEXTURE_BINDING_2D)), buffer_(gl_get_int(GL_PIXEL_UNPACK_BUFFER_BINDING)),
          row_length_(gl_get_int(GL_UNPACK_ROW_LENGTH)), skip_rows_(gl_get_int(GL_UNPACK_SKIP_ROWS)),
          skip_pixels_(gl_get_int(GL_UNPACK_SKIP_PIXELS)), alignment_(gl_get_int(GL_UNPACK_ALIGNMENT))
    {
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    ~unpack_guard()
    {
        glBindTexture(GL_TEXTURE_2D, texture_);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, buffer_);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, row_length_);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, skip_rows_);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, skip_pixels_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment_);
    }
    unpack_guard(const unpack_guard &) = delete;
    unpack_guard &operator=(const unpack_guard &) = delete;

private:
    GLint texture_, buffer_, row_length_, skip_rows_, skip_pixels_, alignment_;
};

} // namespace simhost::detail
