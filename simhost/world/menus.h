#pragma once

// The simulator's menus: the Plugins menu and the tree plugins hang under it,
// and choosing an item as a pilot would.

#include "XPLMMenus.h"
#include "world/plugin_gate.h"

#include <memory>
#include <string>
#include <vector>

namespace simhost::detail {

class commands;

class menus {
public:
    explicit menus(plugin_gate &gate);
    XPLMMenuID plugins_menu() const;
    bool known(XPLMMenuID id) const;

    // A menu under an item of a parent menu, or in the menu bar when the parent
    // is null. Null when the parent or its item does not exist.
    XPLMMenuID create(const char *name, XPLMMenuID parent, int parent_item, XPLMMenuHandler_f handler,
                      void *menu_ref);
    // The new item's index, or -1 for an unknown menu.
    int append(XPLMMenuID menu, const char *name, void *item_ref);
    int append_command(XPLMMenuID menu, const char *name, XPLMCommandRef command);
    // Later items move up one index; a sub-menu hanging on the item goes too.
    bool remove_item(XPLMMenuID menu, int index);
    // The menu and every menu below it; its parent item stays, as a plain item.
    bool destroy(XPLMMenuID menu);
    // Forgets every handler, for code that is about to be unloaded.
    void clear_handlers();

    // Chooses the item at the end of a path of item names below the Plugins
    // menu (or, failing that, starting at a menu of the bar): an item bound to
    // a command runs it once, any other calls its menu's handler. False, with a
    // reason, for a path that leads nowhere.
    bool choose(const std::vector<std::string> &path, commands &cmds, bool run_handlers, std::string &error);

    // The tree below the Plugins menu and the bar, one line per item, indented
    // two spaces a level.
    std::vector<std::string> describe(const commands &cmds) const;

private:
    struct menu;
    struct item {
        std::string name;
        void *item_ref = nullptr;
        XPLMCommandRef command = nullptr;
        menu *sub = nullptr;
    };
    struct menu {
        std::string name;
        menu *parent = nullptr;
        XPLMMenuHandler_f handler = nullptr;
        void *menu_ref = nullptr;
        std::vector<item> items;
        bool live = true;
    };

    menu *get(XPLMMenuID id) const;
    void destroy_tree(menu *m);
    void describe(const menu &m, int depth, const commands &cmds, std::vector<std::string> &out) const;

    // Every menu ever made, so that a stale handle is recognised, not followed.
    std::vector<std::unique_ptr<menu>> all_;
    menu *plugins_ = nullptr;
    std::vector<menu *> bar_;
    plugin_gate &gate_;
};

} // namespace simhost::detail
