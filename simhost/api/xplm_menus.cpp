// XPLMMenus: the Plugins menu and the menus plugins build under it.

#include "XPLMMenus.h"

#include "api/with_host.h"

using simhost::detail::host_state;
using simhost::detail::with_host;

XPLMMenuID XPLMFindPluginsMenu(void)
{
    return with_host("XPLMFindPluginsMenu", static_cast<XPLMMenuID>(nullptr),
                     [](host_state &h) { return h.menu_tree.plugins_menu(); });
}

XPLMMenuID XPLMCreateMenu(const char *inName, XPLMMenuID inParentMenu, int inParentItem,
                          XPLMMenuHandler_f inHandler, void *inMenuRef)
{
    return with_host("XPLMCreateMenu", static_cast<XPLMMenuID>(nullptr), [=](host_state &h) {
        XPLMMenuID id = h.menu_tree.create(inName, inParentMenu, inParentItem, inHandler, inMenuRef);
        if (id == nullptr)
            h.log.unexpected("XPLMCreateMenu", "unknown parent menu or item");
        return id;
    });
}

void XPLMDestroyMenu(XPLMMenuID inMenuID)
{
    with_host("XPLMDestroyMenu", [=](host_state &h) {
        if (!h.menu_tree.destroy(inMenuID))
            h.log.unexpected("XPLMDestroyMenu", "unknown menu, or the Plugins menu");
    });
}

int XPLMAppendMenuItem(XPLMMenuID inMenu, const char *inItemName, void *inItemRef, int)
{
    return with_host("XPLMAppendMenuItem", -1, [=](host_state &h) {
        int index = h.menu_tree.append(inMenu, inItemName, inItemRef);
        if (index < 0)
            h.log.unexpected("XPLMAppendMenuItem", "unknown menu");
        return index;
    });
}

int XPLMAppendMenuItemWithCommand(XPLMMenuID inMenu, const char *inItemName,
                                  XPLMCommandRef inCommandToExecute)
{
    return with_host("XPLMAppendMenuItemWithCommand", -1, [=](host_state &h) {
        if (!h.cmds.known(inCommandToExecute)) {
            h.log.unexpected("XPLMAppendMenuItemWithCommand", "unknown command");
            return -1;
        }
        int index = h.menu_tree.append_command(inMenu, inItemName, inCommandToExecute);
        if (index < 0)
            h.log.unexpected("XPLMAppendMenuItemWithCommand", "unknown menu");
        return index;
    });
}

void XPLMRemoveMenuItem(XPLMMenuID inMenu, int inIndex)
{
    with_host("XPLMRemoveMenuItem", [=](host_state &h) {
        if (!h.menu_tree.remove_item(inMenu, inIndex))
            h.log.unexpected("XPLMRemoveMenuItem", "unknown menu or item");
    });
}
