#pragma once

// The simulator's commands: a named registry whose handles live as long as the
// host, handlers run in the simulator's order, and commands held across frames.

#include "XPLMUtilities.h"
#include "world/plugin_gate.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace simhost::detail {

class commands {
public:
    // Starts with the simulator's own commands a plugin may look up.
    explicit commands(plugin_gate &gate);

    // The existing command of that name, or a new one.
    XPLMCommandRef create(const char *name, const char *description);
    // Null for a name nobody created.
    XPLMCommandRef find(const char *name) const;
    bool known(XPLMCommandRef ref) const;
    const std::string &name(XPLMCommandRef ref) const;
    const std::string &description(XPLMCommandRef ref) const;

    // False when the same registration exists already (or the command is unknown).
    bool add_handler(XPLMCommandRef ref, XPLMCommandCallback_f fn, int before, void *refcon);
    bool remove_handler(XPLMCommandRef ref, XPLMCommandCallback_f fn, int before, void *refcon);
    size_t handler_count() const;
    void clear_handlers();

    // Begin runs the begin phase and holds the command; each frame the held
    // commands run their continue phase; end runs the end phase and releases.
    // False for a begin on a held command or an end on one not held.
    bool begin(XPLMCommandRef ref, bool run_handlers);
    bool end(XPLMCommandRef ref, bool run_handlers);
    void once(XPLMCommandRef ref, bool run_handlers);
    void run_held(bool run_handlers);
    bool held(XPLMCommandRef ref) const;

    // How many phases of a command went past its "before" handlers to the
    // simulator itself: what a handler returning 0 prevents.
    long reached_sim(const std::string &name) const;

private:
    struct handler {
        XPLMCommandCallback_f fn;
        bool before;
        void *refcon;
        bool live;
    };
    struct command {
        std::string name;
        std::string description;
        std::vector<handler> handlers;
        bool held = false;
        long reached_sim = 0;
        int running = 0;
    };

    command *get(XPLMCommandRef ref) const;
    void run_phase(command &c, XPLMCommandPhase phase, bool run_handlers);
    // Calls the live handlers of one group; false when one of them returned 0.
    bool run_group(command &c, XPLMCommandPhase phase, bool before);
    static void compact(command &c);

    plugin_gate &gate_;
    std::map<std::string, std::unique_ptr<command>, std::less<>> by_name_;
    std::vector<command *> held_order_;
};

} // namespace simhost::detail
