// A plugin that needs an XPLM function no host provides.

#include "XPLMDefs.h"

extern "C" XPLM_API void XPLMNoSuchFunction(void);

PLUGIN_API int XPluginStart(char *, char *, char *)
{
    XPLMNoSuchFunction();
    return 1;
}

PLUGIN_API int XPluginEnable(void)
{
    return 1;
}

PLUGIN_API void XPluginDisable(void) {}

PLUGIN_API void XPluginStop(void) {}

PLUGIN_API void XPluginReceiveMessage(XPLMPluginID, int, void *) {}
