#include "gl/graphics_cache.h"

#include "gl/gl_api.h"

#include <algorithm>

namespace simhost::detail {

namespace {

enum item { fog, units, lighting, alpha_test, blend, depth_test, depth_write };

void set_cap(GLenum cap, int on)
{
    if (on != 0)
        glEnable(cap);
    else
        glDisable(cap);
}

} // namespace

int graphics_cache::units_available()
{
    if (units_available_ == 0) {
        GLint n = 0;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS, &n);
        units_available_ = std::clamp(static_cast<int>(n), 1, max_units);
    }
    return units_available_;
}

void graphics_cache::set_state(int fog_on, int texture_units, int lighting_on, int alpha_test_on,
                               int blend_on, int depth_test_on, int depth_write_on)
{
    const std::array<int, 7> wanted{
        fog_on != 0,   std::max(texture_units, 0), lighting_on != 0,   alpha_test_on != 0,
        blend_on != 0, depth_test_on != 0,         depth_write_on != 0};
    auto changed = [&](item i) { return state_[i] != wanted[i]; };
    if (changed(fog))
        set_cap(GL_FOG, wanted[fog]);
    if (changed(units)) {
        GLint active = GL_TEXTURE0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
        const int n = units_available();
        for (int unit = 0; unit < n; unit++) {
            glActiveTexture(GL_TEXTURE0 + unit);
            set_cap(GL_TEXTURE_2D, unit < wanted[units]);
        }
        glActiveTexture(static_cast<GLenum>(active));
    }
    if (changed(lighting))
        set_cap(GL_LIGHTING, wanted[lighting]);
    if (changed(alpha_test))
        set_cap(GL_ALPHA_TEST, wanted[alpha_test]);
    if (changed(blend))
        set_cap(GL_BLEND, wanted[blend]);
    if (changed(depth_test))
        set_cap(GL_DEPTH_TEST, wanted[depth_test]);
    if (changed(depth_write))
        glDepthMask(wanted[depth_write] != 0 ? GL_TRUE : GL_FALSE);
    state_ = wanted;
}

bool graphics_cache::bind(int texture, int unit)
{
    if (unit < 0 || unit >= max_units)
        return false;
    glActiveTexture(GL_TEXTURE0 + unit);
    if (bound_[unit] != texture)
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    bound_[unit] = texture;
    return true;
}

void graphics_cache::forget()
{
    state_.fill(unknown);
    bound_.fill(unknown);
}

void graphics_cache::generate_textures(int *names, int count)
{
    static_assert(sizeof(GLuint) == sizeof(int), "texture names pass through as ints");
    glGenTextures(count, reinterpret_cast<GLuint *>(names));
}

} // namespace simhost::detail
