#include "render/render_target.h"

#include <algorithm>
#include <cmath>

#include "gl/gl_api.h"

#include <cstdio>

namespace simhost::detail {

render_target::~render_target()
{
    destroy();
}

void render_target::destroy()
{
    if (fbo_ != 0)
        glDeleteFramebuffers(1, &fbo_);
    if (color_ != 0)
        glDeleteTextures(1, &color_);
    if (depth_ != 0)
        glDeleteRenderbuffers(1, &depth_);
    fbo_ = color_ = depth_ = 0;
}

bool render_target::create(int width, int height, std::string &error)
{
    destroy();
    width_ = width;
    height_ = height;
    // Made between a plugin's callbacks: the texture binding stays as the
    // simulator's cache believes it.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGenTextures(1, &color_);
    glBindTexture(GL_TEXTURE_2D, color_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));

    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
    GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        char buf[128];
        snprintf(buf, sizeof(buf), "framebuffer %dx%d incomplete (status 0x%04x)", width, height, status);
        error = buf;
        destroy();
        return false;
    }
    return true;
}

void render_target::bind(const rect &view) const
{
    bind(view, rect{0, height_, width_, 0});
}

void render_target::bind(const rect &view, const rect &pixels) const
{
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glViewport(pixels.left, pixels.bottom, pixels.width(), pixels.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(view.left, view.right, view.bottom, view.top, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void render_target::clear(float r, float g, float b) const
{
    // A plugin may have left any of the write masks off; a clear obeys them.
    // The depth mask is managed state: put back as the cache believes it.
    GLboolean depth_mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_mask);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(~0u);
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glDepthMask(depth_mask);
}

void render_target::clear_depth(const rect &view, const rect &pixels, const rect &area) const
{
    if (view.empty())
        return;
    const double sx = static_cast<double>(pixels.width()) / view.width();
    const double sy = static_cast<double>(pixels.height()) / view.height();
    // In doubles and clamped, so that no window far off the view overflows.
    auto px = [&](int x) {
        const double v = pixels.left + std::floor((static_cast<double>(x) - view.left) * sx);
        return static_cast<int>(
            std::clamp(v, static_cast<double>(pixels.left), static_cast<double>(pixels.right)));
    };
    auto py = [&](int y) {
        const double v = pixels.bottom + std::floor((static_cast<double>(y) - view.bottom) * sy);
        return static_cast<int>(
            std::clamp(v, static_cast<double>(pixels.bottom), static_cast<double>(pixels.top)));
    };
    const int x0 = px(area.left), y0 = py(area.bottom), x1 = px(area.right), y1 = py(area.top);
    if (x1 <= x0 || y1 <= y0)
        return;
    GLboolean depth_mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_mask);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x0, y0, x1 - x0, y1 - y0);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(depth_mask);
}

} // namespace simhost::detail
