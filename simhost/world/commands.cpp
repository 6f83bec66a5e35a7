#include "world/commands.h"

#include <algorithm>

namespace simhost::detail {

namespace {

const std::string no_name;

// The G1000 bezels' commands of the three units (n1 the pilot's PFD, n2 the
// copilot's, n3 the MFD); the simulator has them whatever the aircraft.
const char *const g1000_keys[] = {"softkey1",
                                  "softkey2",
                                  "softkey3",
                                  "softkey4",
                                  "softkey5",
                                  "softkey6",
                                  "softkey7",
                                  "softkey8",
                                  "softkey9",
                                  "softkey10",
                                  "softkey11",
                                  "softkey12",
                                  "nav_outer_down",
                                  "nav_outer_up",
                                  "nav_inner_down",
                                  "nav_inner_up",
                                  "nav12",
                                  "com_outer_down",
                                  "com_outer_up",
                                  "com_inner_down",
                                  "com_inner_up",
                                  "com12",
                                  "hdg_down",
                                  "hdg_up",
                                  "hdg_sync",
                                  "alt_outer_down",
                                  "alt_outer_up",
                                  "alt_inner_down",
                                  "alt_inner_up",
                                  "baro_down",
                                  "baro_up",
                                  "crs_down",
                                  "crs_up",
                                  "crs_sync",
                                  "range_down",
                                  "range_up",
                                  "pan_push",
                                  "fms_outer_down",
                                  "fms_outer_up",
                                  "fms_inner_down",
                                  "fms_inner_up",
                                  "cursor",
                                  "direct",
                                  "menu",
                                  "fpl",
                                  "proc",
                                  "clr",
                                  "ent"};

} // namespace

commands::commands(plugin_gate &gate) : gate_(gate)
{
    for (const char *unit : {"n1", "n2", "n3"}) {
        for (const char *key : g1000_keys)
            create((std::string("sim/GPS/g1000") + unit + "_" + key).c_str(), "G1000 bezel");
    }
}

XPLMCommandRef commands::create(const char *name, const char *description)
{
    auto it = by_name_.find(name);
    if (it != by_name_.end())
        return it->second.get();
    auto c = std::make_unique<command>();
    c->name = name;
    c->description = description != nullptr ? description : "";
    command *ref = c.get();
    by_name_.emplace(name, std::move(c));
    return ref;
}

XPLMCommandRef commands::find(const char *name) const
{
    auto it = by_name_.find(name);
    return it != by_name_.end() ? it->second.get() : nullptr;
}

commands::command *commands::get(XPLMCommandRef ref) const
{
    if (ref == nullptr)
        return nullptr;
    // Handles are checked against the registry: a stale or foreign pointer from
    // a plugin must not be dereferenced.
    for (const auto &entry : by_name_) {
        if (entry.second.get() == ref)
            return entry.second.get();
    }
    return nullptr;
}

bool commands::known(XPLMCommandRef ref) const
{
    return get(ref) != nullptr;
}

const std::string &commands::name(XPLMCommandRef ref) const
{
    command *c = get(ref);
    return c != nullptr ? c->name : no_name;
}

const std::string &commands::description(XPLMCommandRef ref) const
{
    command *c = get(ref);
    return c != nullptr ? c->description : no_name;
}

bool commands::add_handler(XPLMCommandRef ref, XPLMCommandCallback_f fn, int before, void *refcon)
{
    command *c = get(ref);
    if (c == nullptr || fn == nullptr)
        return false;
    for (const handler &h : c->handlers) {
        if (h.live && h.fn == fn && h.before == (before != 0) && h.refcon == refcon)
            return false;
    }
    c->handlers.push_back(handler{fn, before != 0, refcon, true});
    return true;
}

bool commands::remove_handler(XPLMCommandRef ref, XPLMCommandCallback_f fn, int before, void *refcon)
{
    command *c = get(ref);
    if (c == nullptr)
        return false;
    for (handler &h : c->handlers) {
        if (h.live && h.fn == fn && h.before == (before != 0) && h.refcon == refcon) {
            h.live = false;
            if (c->running == 0)
                compact(*c);
            return true;
        }
    }
    return false;
}

size_t commands::handler_count() const
{
    size_t n = 0;
    for (const auto &entry : by_name_)
        n += static_cast<size_t>(std::count_if(entry.second->handlers.begin(), entry.second->handlers.end(),
                                               [](const handler &h) { return h.live; }));
    return n;
}

void commands::clear_handlers()
{
    for (auto &entry : by_name_)
        entry.second->handlers.clear();
}

bool commands::run_group(command &c, XPLMCommandPhase phase, bool before)
{
    // Index, not iterator: a handler may register another.
    const size_t n = c.handlers.size();
    for (size_t i = 0; i < n; i++) {
        const handler h = c.handlers[i];
        if (!h.live || h.before != before)
            continue;
        const plugin_call call(gate_, "a command handler");
        if (h.fn(&c, phase, h.refcon) == 0)
            return false;
    }
    return true;
}

void commands::run_phase(command &c, XPLMCommandPhase phase, bool run_handlers)
{
    if (!run_handlers) {
        c.reached_sim++;
        return;
    }
    c.running++;
    if (run_group(c, phase, true)) {
        c.reached_sim++;
        run_group(c, phase, false);
    }
    if (--c.running == 0)
        compact(c);
}

void commands::compact(command &c)
{
    c.handlers.erase(
        std::remove_if(c.handlers.begin(), c.handlers.end(), [](const handler &h) { return !h.live; }),
        c.handlers.end());
}

bool commands::begin(XPLMCommandRef ref, bool run_handlers)
{
    command *c = get(ref);
    if (c == nullptr || c->held)
        return false;
    c->held = true;
    held_order_.push_back(c);
    run_phase(*c, xplm_CommandBegin, run_handlers);
    return true;
}

bool commands::end(XPLMCommandRef ref, bool run_handlers)
{
    command *c = get(ref);
    if (c == nullptr || !c->held)
        return false;
    c->held = false;
    held_order_.erase(std::remove(held_order_.begin(), held_order_.end(), c), held_order_.end());
    run_phase(*c, xplm_CommandEnd, run_handlers);
    return true;
}

void commands::once(XPLMCommandRef ref, bool run_handlers)
{
    command *c = get(ref);
    if (c == nullptr)
        return;
    run_phase(*c, xplm_CommandBegin, run_handlers);
    run_phase(*c, xplm_CommandEnd, run_handlers);
}

void commands::run_held(bool run_handlers)
{
    // A handler may end a held command (its own included), so walk a copy.
    const std::vector<command *> now = held_order_;
    for (command *c : now) {
        if (c->held)
            run_phase(*c, xplm_CommandContinue, run_handlers);
    }
}

bool commands::held(XPLMCommandRef ref) const
{
    command *c = get(ref);
    return c != nullptr && c->held;
}

long commands::reached_sim(const std::string &name) const
{
    auto it = by_name_.find(name);
    return it != by_name_.end() ? it->second->reached_sim : 0;
}

} // namespace simhost::detail
