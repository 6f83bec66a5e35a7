// XPLMMenus: not implemented yet; every call is noted and answers neutrally.

#include "XPLMMenus.h"

#include "host_state.h"

using simhost::detail::unexpected_call;

XPLMMenuID XPLMFindPluginsMenu(void)
{
    unexpected_call("XPLMFindPluginsMenu");
    return nullptr;
}

XPLMMenuID XPLMCreateMenu(const char *, XPLMMenuID, int, XPLMMenuHandler_f, void *)
{
    unexpected_call("XPLMCreateMenu");
    return nullptr;
}

void XPLMDestroyMenu(XPLMMenuID)
{
    unexpected_call("XPLMDestroyMenu");
}

int XPLMAppendMenuItem(XPLMMenuID, const char *, void *, int)
{
    unexpected_call("XPLMAppendMenuItem");
    return 0;
}

int XPLMAppendMenuItemWithCommand(XPLMMenuID, const char *, XPLMCommandRef)
{
    unexpected_call("XPLMAppendMenuItemWithCommand");
    return 0;
}

void XPLMRemoveMenuItem(XPLMMenuID, int)
{
    unexpected_call("XPLMRemoveMenuItem");
}
