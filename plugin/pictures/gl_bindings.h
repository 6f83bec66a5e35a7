#pragma once

// What a copy on the graphics card changes of the state the simulator handed
// over, put back when the copy's scope ends: the framebuffer bindings, the
// pixel-unpack buffer and the scissor test.

#include <acfutils/glew.h>

class saved_bindings {
public:
    saved_bindings()
    {
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read_);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw_);
        glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpack_);
        scissor_ = glIsEnabled(GL_SCISSOR_TEST);
        // A new texture's storage must not be read from a buffer left bound.
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    }
    ~saved_bindings()
    {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_));
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw_));
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, static_cast<GLuint>(unpack_));
        if (scissor_)
            glEnable(GL_SCISSOR_TEST);
    }
    saved_bindings(const saved_bindings &) = delete;
    saved_bindings &operator=(const saved_bindings &) = delete;

    // The framebuffer the simulator was drawing into when the scope began.
    GLuint draw_framebuffer() const { return static_cast<GLuint>(draw_); }

private:
    GLint read_ = 0, draw_ = 0, unpack_ = 0;
    GLboolean scissor_ = GL_FALSE;
};
