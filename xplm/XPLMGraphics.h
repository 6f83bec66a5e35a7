#ifndef _XPLMGraphics_h_
#define _XPLMGraphics_h_

/* The simulator's cached OpenGL state, texture binding and text. */

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

XPLM_API void XPLMSetGraphicsState(int inEnableFog, int inNumberTexUnits, int inEnableLighting,
                                   int inEnableAlphaTesting, int inEnableAlphaBlending,
                                   int inEnableDepthTesting, int inEnableDepthWriting);
XPLM_API void XPLMBindTexture2d(int inTextureNum, int inTextureUnit);
XPLM_API void XPLMGenerateTextureNumbers(int *outTextureIDs, int inCount);

enum {
    xplmFont_Basic = 0,
#if defined(XPLM200)
    xplmFont_Proportional = 18,
#endif
};
typedef int XPLMFontID;

/* Draws the string with its first character's lower-left corner at the
   given point, in the colour's red, green and blue (0 to 1). */
XPLM_API void XPLMDrawString(float *inColorRGB, int inXOffset, int inYOffset, const char *inChar,
                             int *inWordWrapWidth, XPLMFontID inFontID);
XPLM_API void XPLMGetFontDimensions(XPLMFontID inFontID, int *outCharWidth, int *outCharHeight,
                                    int *outDigitsOnly);
#if defined(XPLM200)
XPLM_API float XPLMMeasureString(XPLMFontID inFontID, const char *inChar, int inNumChars);
#endif

#ifdef __cplusplus
}
#endif

#endif
