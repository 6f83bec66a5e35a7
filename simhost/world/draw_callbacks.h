#pragma once

// The draw-callback registry and the order in which a frame runs it.

#include "XPLMDisplay.h"
#include "world/plugin_gate.h"

#include <cstddef>
#include <vector>

namespace simhost::detail {

class draw_callbacks {
public:
    explicit draw_callbacks(plugin_gate &gate) : gate_(gate) {}

    static bool known_phase(XPLMDrawingPhase phase);
    // The phases in the order a frame draws them.
    static const std::vector<XPLMDrawingPhase> &phases();
    // False for an unknown phase or a registration that already exists.
    bool add(XPLMDrawCallback_f fn, XPLMDrawingPhase phase, int before, void *refcon);
    bool remove(XPLMDrawCallback_f fn, XPLMDrawingPhase phase, int before, void *refcon);
    // Whether any callback is registered for the phase, before or after.
    bool has_phase(XPLMDrawingPhase phase) const;
    // The "before" or the "after" callbacks of a phase, in registration order.
    void run_phase(XPLMDrawingPhase phase, bool before);
    size_t size() const { return live_; }
    void clear();

private:
    struct entry {
        XPLMDrawCallback_f fn;
        XPLMDrawingPhase phase;
        bool before;
        void *refcon;
        bool live;
    };
    entry *find(XPLMDrawCallback_f fn, XPLMDrawingPhase phase, bool before, void *refcon);
    void compact();

    plugin_gate &gate_;
    std::vector<entry> entries_;
    size_t live_ = 0;
    int running_ = 0;
};

} // namespace simhost::detail
