#ifndef _XPLMPlugin_h_
#define _XPLMPlugin_h_

/* Plugin ids, plugin information and features. */

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Sent when an aircraft has loaded; the parameter is its index, 0 the user's. */
#define XPLM_MSG_PLANE_LOADED 102

XPLM_API XPLMPluginID XPLMGetMyID(void);
XPLM_API XPLMPluginID XPLMFindPluginBySignature(const char *inSignature);
XPLM_API void XPLMGetPluginInfo(XPLMPluginID inPlugin, char *outName, char *outFilePath,
                                char *outSignature, char *outDescription);
#if defined(XPLM200)
XPLM_API void XPLMEnableFeature(const char *inFeature, int inEnable);
#endif

#ifdef __cplusplus
}
#endif

#endif
