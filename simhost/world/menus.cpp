#include "world/menus.h"

#include "world/commands.h"

#include <algorithm>

namespace simhost::detail {

menus::menus(plugin_gate &gate) : gate_(gate)
{
    all_.push_back(std::make_unique<menu>());
    plugins_ = all_.back().get();
    plugins_->name = "Plugins";
    bar_.push_back(plugins_);
}

XPLMMenuID menus::plugins_menu() const
{
    return plugins_;
}

menus::menu *menus::get(XPLMMenuID id) const
{
    for (const auto &m : all_) {
        if (m.get() == id)
            return m->live ? m.get() : nullptr;
    }
    return nullptr;
}

bool menus::known(XPLMMenuID id) const
{
    return get(id) != nullptr;
}

XPLMMenuID menus::create(const char *name, XPLMMenuID parent, int parent_item, XPLMMenuHandler_f handler,
                         void *menu_ref)
{
    menu *p = nullptr;
    if (parent != nullptr) {
        p = get(parent);
        if (p == nullptr || parent_item < 0 || static_cast<size_t>(parent_item) >= p->items.size())
            return nullptr;
    }
    all_.push_back(std::make_unique<menu>());
    menu *m = all_.back().get();
    m->name = name != nullptr ? name : "";
    m->parent = p;
    m->handler = handler;
    m->menu_ref = menu_ref;
    if (p != nullptr) {
        item &it = p->items[static_cast<size_t>(parent_item)];
        if (it.sub != nullptr)
            destroy_tree(it.sub);
        it.sub = m;
    } else {
        bar_.push_back(m);
    }
    return m;
}

int menus::append(XPLMMenuID id, const char *name, void *item_ref)
{
    menu *m = get(id);
    if (m == nullptr)
        return -1;
    item it;
    it.name = name != nullptr ? name : "";
    it.item_ref = item_ref;
    m->items.push_back(it);
    return static_cast<int>(m->items.size()) - 1;
}

int menus::append_command(XPLMMenuID id, const char *name, XPLMCommandRef command)
{
    int index = append(id, name, nullptr);
    if (index >= 0)
        get(id)->items[static_cast<size_t>(index)].command = command;
    return index;
}

bool menus::remove_item(XPLMMenuID id, int index)
{
    menu *m = get(id);
    if (m == nullptr || index < 0 || static_cast<size_t>(index) >= m->items.size())
        return false;
    menu *sub = m->items[static_cast<size_t>(index)].sub;
    m->items.erase(m->items.begin() + index);
    if (sub != nullptr)
        destroy_tree(sub);
    return true;
}

void menus::destroy_tree(menu *m)
{
    m->live = false;
    for (item &it : m->items) {
        if (it.sub != nullptr)
            destroy_tree(it.sub);
    }
    m->items.clear();
}

bool menus::destroy(XPLMMenuID id)
{
    menu *m = get(id);
    if (m == nullptr || m == plugins_)
        return false;
    if (m->parent != nullptr) {
        for (item &it : m->parent->items) {
            if (it.sub == m)
                it.sub = nullptr;
        }
    }
    bar_.erase(std::remove(bar_.begin(), bar_.end(), m), bar_.end());
    destroy_tree(m);
    return true;
}

void menus::clear_handlers()
{
    for (auto &m : all_)
        m->handler = nullptr;
}

bool menus::choose(const std::vector<std::string> &path, commands &cmds, bool run_handlers,
                   std::string &error)
{
    if (path.empty()) {
        error = "an empty menu path";
        return false;
    }
    std::vector<std::string> rest = path;
    menu *m = plugins_;
    const bool under_plugins = std::any_of(plugins_->items.begin(), plugins_->items.end(),
                                           [&](const item &it) { return it.name == path.front(); });
    if (!under_plugins) {
        auto top =
            std::find_if(bar_.begin(), bar_.end(), [&](const menu *b) { return b->name == path.front(); });
        if (top != bar_.end() && path.size() > 1) {
            m = *top;
            rest.erase(rest.begin());
        }
    }
    std::string walked = m->name;
    for (size_t i = 0; i < rest.size(); i++) {
        const bool last = i + 1 == rest.size();
        auto it = std::find_if(m->items.begin(), m->items.end(), [&](const item &candidate) {
            return candidate.name == rest[i] && (last || candidate.sub != nullptr);
        });
        if (it == m->items.end()) {
            error = "no item \"" + rest[i] + "\" in the menu " + walked;
            if (!last && std::any_of(m->items.begin(), m->items.end(),
                                     [&](const item &c) { return c.name == rest[i]; }))
                error = "the item \"" + rest[i] + "\" in the menu " + walked + " has no sub-menu";
            return false;
        }
        if (!last) {
            m = it->sub;
            walked += " > " + rest[i];
            continue;
        }
        if (it->sub != nullptr) {
            error = "the item \"" + rest[i] + "\" opens a sub-menu; choose an item in it";
            return false;
        }
        // Copies: the handler or command may change the menu.
        const XPLMCommandRef command = it->command;
        const XPLMMenuHandler_f handler = m->handler;
        void *const menu_ref = m->menu_ref;
        void *const item_ref = it->item_ref;
        if (command != nullptr) {
            if (!cmds.known(command)) {
                error = "the item \"" + rest[i] + "\" is bound to a command that does not exist";
                return false;
            }
            cmds.once(command, run_handlers);
        } else if (handler != nullptr && run_handlers) {
            const plugin_call call(gate_, "a menu handler");
            handler(menu_ref, item_ref);
        }
        return true;
    }
    return false;
}

void menus::describe(const menu &m, int depth, const commands &cmds, std::vector<std::string> &out) const
{
    for (const item &it : m.items) {
        std::string line(static_cast<size_t>(depth) * 2, ' ');
        line += it.name;
        if (it.command != nullptr)
            line += " -> " + cmds.name(it.command);
        out.push_back(line);
        if (it.sub != nullptr)
            describe(*it.sub, depth + 1, cmds, out);
    }
}

std::vector<std::string> menus::describe(const commands &cmds) const
{
    std::vector<std::string> out;
    for (const menu *m : bar_) {
        out.push_back(m->name);
        describe(*m, 1, cmds, out);
    }
    return out;
}

} // namespace simhost::detail
