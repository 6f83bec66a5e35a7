// XPLMGraphics: the graphics state and texture binding, applied to the host's
// GL context. Without one there is nothing to apply them to.

#include "XPLMGraphics.h"

#include "host_state.h"

#include "gl_api.h"

#include <algorithm>
#include <cstdio>

using simhost::detail::host_state;
using simhost::detail::with_host;

namespace {

// The fixed-function texture units a plugin may address.
const int max_units = 8;

void set_cap(GLenum cap, int on)
{
    if (on != 0)
        glEnable(cap);
    else
        glDisable(cap);
}

int texture_units(host_state &h)
{
    if (h.texture_units == 0) {
        GLint n = 0;
        glGetIntegerv(GL_MAX_TEXTURE_UNITS, &n);
        h.texture_units = std::clamp(static_cast<int>(n), 1, max_units);
    }
    return h.texture_units;
}

} // namespace

void XPLMSetGraphicsState(int inEnableFog, int inNumberTexUnits, int inEnableLighting,
                          int inEnableAlphaTesting, int inEnableAlphaBlending, int inEnableDepthTesting,
                          int inEnableDepthWriting)
{
    with_host("XPLMSetGraphicsState", [=](host_state &h) {
        if (!h.gl_ready)
            return;
        set_cap(GL_FOG, inEnableFog);
        const int units = texture_units(h);
        for (int unit = 0; unit < units; unit++) {
            glActiveTexture(GL_TEXTURE0 + unit);
            set_cap(GL_TEXTURE_2D, unit < inNumberTexUnits);
        }
        glActiveTexture(GL_TEXTURE0);
        set_cap(GL_LIGHTING, inEnableLighting);
        set_cap(GL_ALPHA_TEST, inEnableAlphaTesting);
        set_cap(GL_BLEND, inEnableAlphaBlending);
        if (inEnableAlphaBlending != 0)
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        set_cap(GL_DEPTH_TEST, inEnableDepthTesting);
        glDepthMask(inEnableDepthWriting != 0 ? GL_TRUE : GL_FALSE);
    });
}

void XPLMBindTexture2d(int inTextureNum, int inTextureUnit)
{
    with_host("XPLMBindTexture2d", [=](host_state &h) {
        int unit = inTextureUnit;
        if (unit < 0 || unit >= max_units) {
            char detail[64];
            snprintf(detail, sizeof(detail), "texture unit %d, used unit 0", unit);
            h.log.unexpected("XPLMBindTexture2d", detail);
            unit = 0;
        }
        if (!h.gl_ready)
            return;
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(inTextureNum));
    });
}

void XPLMGenerateTextureNumbers(int *outTextureIDs, int inCount)
{
    if (outTextureIDs == nullptr || inCount <= 0)
        return;
    std::fill(outTextureIDs, outTextureIDs + inCount, 0);
    with_host("XPLMGenerateTextureNumbers", [=](host_state &h) {
        if (h.gl_ready)
            glGenTextures(inCount, reinterpret_cast<GLuint *>(outTextureIDs));
    });
}
