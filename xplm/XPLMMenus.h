#ifndef _XPLMMenus_h_
#define _XPLMMenus_h_

/* Menus under the simulator's menu bar. */

#include "XPLMDefs.h"
#include "XPLMUtilities.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void *XPLMMenuID;

typedef void (*XPLMMenuHandler_f)(void *inMenuRef, void *inItemRef);

XPLM_API XPLMMenuID XPLMFindPluginsMenu(void);
XPLM_API XPLMMenuID XPLMCreateMenu(const char *inName, XPLMMenuID inParentMenu, int inParentItem,
                                   XPLMMenuHandler_f inHandler, void *inMenuRef);
XPLM_API void XPLMDestroyMenu(XPLMMenuID inMenuID);
XPLM_API int XPLMAppendMenuItem(XPLMMenuID inMenu, const char *inItemName, void *inItemRef,
                                int inDeprecatedAndIgnored);
#if defined(XPLM300)
XPLM_API int XPLMAppendMenuItemWithCommand(XPLMMenuID inMenu, const char *inItemName,
                                           XPLMCommandRef inCommandToExecute);
#endif
#if defined(XPLM210)
XPLM_API void XPLMRemoveMenuItem(XPLMMenuID inMenu, int inIndex);
#endif

#ifdef __cplusplus
}
#endif

#endif
