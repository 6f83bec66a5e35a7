#include "pictures/scr_cap.h"

#include "XPLMGraphics.h"

#include <acfutils/assert.h>
#include <acfutils/glew.h>

#include "pictures/capture_rate.h"

namespace {

// The texture the region's pixels land in: the source size, no data yet.
// It stays bound.
void create_texture(capture_region *region)
{
    GLuint tex = 0;
    glGenTextures(1, &tex);
    region->tex = tex;
    // Unit 0: XPLMBindTexture2d takes a unit number, not a target. The
    // simulator skips a bind its cache believes done, and a name the driver
    // hands out again may still sit there stale (freed by another plugin):
    // binding 0 first makes sure the new texture really is bound.
    XPLMBindTexture2d(0, 0);
    XPLMBindTexture2d(static_cast<int>(region->tex), 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, static_cast<GLsizei>(region->src_w),
                 static_cast<GLsizei>(region->src_h), 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

// A framebuffer that writes into the region's texture and nothing else. It
// stays bound; the copy rebinds everything it needs.
void create_framebuffer(capture_region *region)
{
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    region->fbo = fbo;
    glBindFramebuffer(GL_FRAMEBUFFER, region->fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, region->tex, 0);
    // 0x8CD5 is GL_FRAMEBUFFER_COMPLETE.
    ASSERT3U(glCheckFramebufferStatus(GL_FRAMEBUFFER), ==, 0x8CD5);
}

} // namespace

void scr_cap_update(capture_region *region, bool visible, uint64_t now_us)
{
    if (region->draw_fn != nullptr)
        return;
    if (visible)
        scr_cap_capture(region, now_us);
    else
        scr_cap_release(region);
}

void scr_cap_capture(capture_region *region, uint64_t now_us)
{
    if (!capture_due(region->tex != 0, region->last_capture_us, region->rate, now_us))
        return;

    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    if (region->tex == 0)
        create_texture(region);
    if (region->fbo == 0)
        create_framebuffer(region);

    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, region->fbo);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    const double x = region->src_x, y = region->src_y, w = region->src_w, h = region->src_h;
    glBlitFramebuffer(static_cast<GLint>(x), static_cast<GLint>(y), static_cast<GLint>(x + w),
                      static_cast<GLint>(y + h), 0, 0, static_cast<GLint>(w), static_cast<GLint>(h),
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));

    region->last_capture_us = now_us;
}

void scr_cap_prepare(capture_region *region)
{
    if (region->tex == 0)
        create_texture(region);
    if (region->fbo == 0)
        create_framebuffer(region);
}

void scr_cap_release(capture_region *region)
{
    if (region->fbo != 0) {
        GLuint fbo = region->fbo;
        glDeleteFramebuffers(1, &fbo);
        region->fbo = 0;
    }
    if (region->tex != 0) {
        GLuint tex = region->tex;
        glDeleteTextures(1, &tex);
        region->tex = 0;
        // The simulator's texture cache may still hold the freed name; the
        // driver may hand it out again, and a bind of it would be skipped.
        XPLMBindTexture2d(0, 0);
    }
}

void scr_cap_draw(capture_region *region, vect2_t pos, vect2_t size, void *user)
{
    if (region->draw_fn != nullptr) {
        region->draw_fn(region, pos, size, user);
        return;
    }
    if (region->tex == 0)
        return;

    // No depth test or writes: depth under a window is not ours to rely on,
    // and depth written here could hide a window drawn later.
    XPLMSetGraphicsState(0, 1, 0, 1, 1, 0, 0);
    XPLMBindTexture2d(static_cast<int>(region->tex), 0);
    // The current colour is whatever was left; the texture shows as it is
    // only under opaque white.
    glColor4f(1, 1, 1, 1);
    const auto right = static_cast<GLfloat>(pos.x + size.x);
    const auto top = static_cast<GLfloat>(pos.y + size.y);
    const auto left = static_cast<GLfloat>(pos.x);
    const auto bottom = static_cast<GLfloat>(pos.y);
    // Texture row 0 is the source's bottom row, so (0, 0) goes bottom-left.
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, bottom);
    glTexCoord2f(0, 1);
    glVertex2f(left, top);
    glTexCoord2f(1, 1);
    glVertex2f(right, top);
    glTexCoord2f(1, 0);
    glVertex2f(right, bottom);
    glEnd();
}
