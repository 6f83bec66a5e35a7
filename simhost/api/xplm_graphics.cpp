// XPLMGraphics: the graphics state and texture binding, applied to the host's
// GL context through the simulator's cache of them. Without a context there
// is nothing to apply them to.

#include "XPLMGraphics.h"

#include "api/with_host.h"

#include <algorithm>
#include <cstdio>

using simhost::detail::graphics_cache;
using simhost::detail::host_state;
using simhost::detail::with_host;

void XPLMSetGraphicsState(int inEnableFog, int inNumberTexUnits, int inEnableLighting,
                          int inEnableAlphaTesting, int inEnableAlphaBlending, int inEnableDepthTesting,
                          int inEnableDepthWriting)
{
    with_host("XPLMSetGraphicsState", [=](host_state &h) {
        if (h.gl_ready)
            h.graphics.set_state(inEnableFog, inNumberTexUnits, inEnableLighting, inEnableAlphaTesting,
                                 inEnableAlphaBlending, inEnableDepthTesting, inEnableDepthWriting);
    });
}

void XPLMBindTexture2d(int inTextureNum, int inTextureUnit)
{
    with_host("XPLMBindTexture2d", [=](host_state &h) {
        const bool known_unit = inTextureUnit >= 0 && inTextureUnit < graphics_cache::max_units;
        if (!known_unit) {
            char detail[64];
            snprintf(detail, sizeof(detail), "texture unit %d, used unit 0", inTextureUnit);
            h.log.unexpected("XPLMBindTexture2d", detail);
        }
        if (h.gl_ready)
            h.graphics.bind(inTextureNum, known_unit ? inTextureUnit : 0);
    });
}

void XPLMGenerateTextureNumbers(int *outTextureIDs, int inCount)
{
    if (outTextureIDs == nullptr || inCount <= 0)
        return;
    std::fill(outTextureIDs, outTextureIDs + inCount, 0);
    with_host("XPLMGenerateTextureNumbers", [=](host_state &h) {
        if (h.gl_ready)
            h.graphics.generate_textures(outTextureIDs, inCount);
    });
}
