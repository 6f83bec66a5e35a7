// A shared library with only some of a plugin's entry points.

#include "XPLMDefs.h"

PLUGIN_API int XPluginStart(char *, char *, char *)
{
    return 1;
}

PLUGIN_API int XPluginEnable(void)
{
    return 1;
}
