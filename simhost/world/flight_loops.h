#pragma once

// The flight-loop registry: which callbacks are due in a flight loop, with what
// arguments, and their next interval from their result.

#include "XPLMProcessing.h"
#include "world/plugin_gate.h"

#include <cstddef>
#include <vector>

namespace simhost::detail {

class flight_loops {
public:
    explicit flight_loops(plugin_gate &gate) : gate_(gate) {}

    // The same (callback, refcon) twice is one entry; the second call sets its
    // interval anew, counted from now.
    void add(XPLMFlightLoop_f fn, float interval, void *refcon, double now, long loop);
    bool remove(XPLMFlightLoop_f fn, void *refcon);
    // One flight loop: calls each due callback. Callbacks may add and remove
    // entries, themselves included; ones added now are first due in a later loop.
    void run(double now, long loop, float since_last_loop);
    size_t size() const { return live_; }
    void clear();

private:
    struct entry {
        XPLMFlightLoop_f fn;
        void *refcon;
        float interval; // < 0: loops, > 0: seconds, 0: not called
        double last_time;
        long last_loop;
        bool live;
    };
    static bool due(const entry &e, double now, long loop);
    entry *find(XPLMFlightLoop_f fn, void *refcon);
    void compact();

    plugin_gate &gate_;
    std::vector<entry> entries_;
    size_t live_ = 0;
    bool running_ = false;
};

} // namespace simhost::detail
