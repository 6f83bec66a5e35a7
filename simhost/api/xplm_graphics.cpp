// XPLMGraphics: the graphics state and texture binding, applied to the host's
// GL context through the simulator's cache of them, and text in the host's
// own font. Without a context there is nothing to apply them to.

#include "XPLMGraphics.h"

#include "api/with_host.h"
#include "core/host_text.h"

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

namespace {

// Both fonts of the interface have the host's one font; the deprecated
// ones are noted and get it too.
void check_font(host_state &h, const char *call, XPLMFontID font)
{
    if (font == xplmFont_Basic || font == xplmFont_Proportional)
        return;
    char detail[64];
    snprintf(detail, sizeof(detail), "font %d is not offered; the basic font used", font);
    h.log.unexpected(call, detail);
}

} // namespace

void XPLMDrawString(float *inColorRGB, int inXOffset, int inYOffset, const char *inChar, int *inWordWrapWidth,
                    XPLMFontID inFontID)
{
    with_host("XPLMDrawString", [=](host_state &h) {
        check_font(h, "XPLMDrawString", inFontID);
        if (inColorRGB == nullptr || inChar == nullptr) {
            h.log.unexpected("XPLMDrawString", inChar == nullptr ? "null string" : "null colour");
            return;
        }
        const int wrap = inWordWrapWidth != nullptr ? *inWordWrapWidth : 0;
        simhost::detail::draw_string(h, inColorRGB, inXOffset, inYOffset, inChar, wrap);
    });
}

void XPLMGetFontDimensions(XPLMFontID inFontID, int *outCharWidth, int *outCharHeight, int *outDigitsOnly)
{
    for (int *out : {outCharWidth, outCharHeight, outDigitsOnly}) {
        if (out != nullptr)
            *out = 0;
    }
    with_host("XPLMGetFontDimensions", [=](host_state &h) {
        check_font(h, "XPLMGetFontDimensions", inFontID);
        if (outCharWidth != nullptr)
            *outCharWidth = simhost::detail::font_char_width();
        if (outCharHeight != nullptr)
            *outCharHeight = simhost::detail::font_char_height();
    });
}

float XPLMMeasureString(XPLMFontID inFontID, const char *inChar, int inNumChars)
{
    return with_host("XPLMMeasureString", 0.0f, [=](host_state &h) {
        check_font(h, "XPLMMeasureString", inFontID);
        if (inChar == nullptr || inNumChars < 0) {
            h.log.unexpected("XPLMMeasureString", inChar == nullptr ? "null string" : "negative length");
            return 0.0f;
        }
        return static_cast<float>(simhost::detail::string_width(inNumChars));
    });
}
