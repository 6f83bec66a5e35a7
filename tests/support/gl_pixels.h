#pragma once

// Reading back single pixels of a framebuffer, for tests that check what was
// drawn. Needs a current GL context.

#include "gl/gl_api.h"

#include <array>

using rgba = std::array<int, 4>;

inline rgba pixel(unsigned fbo, int x, int y)
{
    unsigned char p[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}
