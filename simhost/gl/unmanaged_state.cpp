#include "gl/unmanaged_state.h"

#include <cstdio>

namespace simhost::detail {

namespace {

struct item {
    const char *name;
    GLenum what;
    int count;
};

// In the order the values are stored.
constexpr item items[] = {
    {"draw framebuffer", GL_DRAW_FRAMEBUFFER_BINDING, 1},
    {"read framebuffer", GL_READ_FRAMEBUFFER_BINDING, 1},
    {"read buffer", GL_READ_BUFFER, 1},
    {"draw buffer", GL_DRAW_BUFFER, 1},
    {"viewport", GL_VIEWPORT, 4},
    {"blend source colour factor", GL_BLEND_SRC_RGB, 1},
    {"blend destination colour factor", GL_BLEND_DST_RGB, 1},
    {"blend source alpha factor", GL_BLEND_SRC_ALPHA, 1},
    {"blend destination alpha factor", GL_BLEND_DST_ALPHA, 1},
    {"matrix mode", GL_MATRIX_MODE, 1},
    {"program", GL_CURRENT_PROGRAM, 1},
    {"array buffer", GL_ARRAY_BUFFER_BINDING, 1},
    {"element array buffer", GL_ELEMENT_ARRAY_BUFFER_BINDING, 1},
    {"pixel pack buffer", GL_PIXEL_PACK_BUFFER_BINDING, 1},
    {"pixel unpack buffer", GL_PIXEL_UNPACK_BUFFER_BINDING, 1},
    {"pack alignment", GL_PACK_ALIGNMENT, 1},
    {"unpack alignment", GL_UNPACK_ALIGNMENT, 1},
    {"scissor test", GL_SCISSOR_TEST, 1},
    {"scissor box", GL_SCISSOR_BOX, 4},
};

constexpr size_t count_values()
{
    size_t n = 0;
    for (const item &i : items)
        n += static_cast<size_t>(i.count);
    return n;
}

// Named slots for restoring, in the order of `items`.
enum slot : size_t {
    draw_fbo = 0,
    read_fbo = 1,
    read_buffer = 2,
    draw_buffer = 3,
    viewport = 4,
    blend = 8,
    matrix_mode = 12,
    program = 13,
    array_buffer = 14,
    element_buffer = 15,
    pack_buffer = 16,
    unpack_buffer = 17,
    pack_alignment = 18,
    unpack_alignment = 19,
    scissor_test = 20,
    scissor_box = 21,
};

} // namespace

void unmanaged_state::read()
{
    static_assert(count_values() == value_count, "one stored value per item value");
    size_t at = 0;
    for (const item &i : items) {
        glGetIntegerv(i.what, &values_[at]);
        at += static_cast<size_t>(i.count);
    }
}

void unmanaged_state::restore() const
{
    const auto &v = values_;
    auto u = [&v](size_t i) { return static_cast<GLuint>(v[i]); };
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, u(draw_fbo));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, u(read_fbo));
    glReadBuffer(static_cast<GLenum>(v[read_buffer]));
    glDrawBuffer(static_cast<GLenum>(v[draw_buffer]));
    glViewport(v[viewport], v[viewport + 1], v[viewport + 2], v[viewport + 3]);
    glBlendFuncSeparate(u(blend), u(blend + 1), u(blend + 2), u(blend + 3));
    glMatrixMode(u(matrix_mode));
    glUseProgram(u(program));
    glBindBuffer(GL_ARRAY_BUFFER, u(array_buffer));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, u(element_buffer));
    glBindBuffer(GL_PIXEL_PACK_BUFFER, u(pack_buffer));
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, u(unpack_buffer));
    glPixelStorei(GL_PACK_ALIGNMENT, v[pack_alignment]);
    glPixelStorei(GL_UNPACK_ALIGNMENT, v[unpack_alignment]);
    if (v[scissor_test] != 0)
        glEnable(GL_SCISSOR_TEST);
    else
        glDisable(GL_SCISSOR_TEST);
    glScissor(v[scissor_box], v[scissor_box + 1], v[scissor_box + 2], v[scissor_box + 3]);
}

bool unmanaged_state::describe_difference(const unmanaged_state &now, char *out, size_t size) const
{
    size_t at = 0;
    for (const item &i : items) {
        for (int k = 0; k < i.count; k++) {
            if (values_[at + k] != now.values_[at + k]) {
                snprintf(out, size, "%s[%d] was 0x%x, left 0x%x", i.name, k,
                         static_cast<unsigned>(values_[at + k]), static_cast<unsigned>(now.values_[at + k]));
                return true;
            }
        }
        at += static_cast<size_t>(i.count);
    }
    return false;
}

} // namespace simhost::detail
