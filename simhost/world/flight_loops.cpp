#include "world/flight_loops.h"

#include <algorithm>
#include <cmath>

namespace simhost::detail {

namespace {

// Float intervals (0.1f is not 0.1) and summed frame times must not push a call
// one frame late.
const double time_slack = 1e-6;

} // namespace

flight_loops::entry *flight_loops::find(XPLMFlightLoop_f fn, void *refcon)
{
    for (entry &e : entries_) {
        if (e.live && e.fn == fn && e.refcon == refcon)
            return &e;
    }
    return nullptr;
}

void flight_loops::add(XPLMFlightLoop_f fn, float interval, void *refcon, double now, long loop)
{
    if (fn == nullptr)
        return;
    if (entry *e = find(fn, refcon)) {
        *e = entry{fn, refcon, interval, now, loop, true};
        return;
    }
    entries_.push_back(entry{fn, refcon, interval, now, loop, true});
    live_++;
}

bool flight_loops::remove(XPLMFlightLoop_f fn, void *refcon)
{
    entry *e = find(fn, refcon);
    if (e == nullptr)
        return false;
    e->live = false;
    live_--;
    if (!running_)
        compact();
    return true;
}

bool flight_loops::due(const entry &e, double now, long loop)
{
    if (e.interval < 0) {
        long every = std::max(1L, std::lround(-e.interval));
        return loop - e.last_loop >= every;
    }
    return e.interval > 0 && now - e.last_time >= e.interval - time_slack;
}

void flight_loops::run(double now, long loop, float since_last_loop)
{
    running_ = true;
    // Index, not iterator: a callback may add entries and so move the vector.
    const size_t n = entries_.size();
    for (size_t i = 0; i < n; i++) {
        if (!entries_[i].live || !due(entries_[i], now, loop))
            continue;
        const entry called = entries_[i];
        const plugin_call call(gate_, "a flight loop");
        float next = called.fn(static_cast<float>(now - called.last_time), since_last_loop,
                               static_cast<int>(loop), called.refcon);
        entry &e = entries_[i];
        // Removed (or removed and added again) by the callback: its result is moot.
        if (!e.live)
            continue;
        e.interval = next;
        e.last_time = now;
        e.last_loop = loop;
    }
    running_ = false;
    compact();
}

void flight_loops::compact()
{
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const entry &e) { return !e.live; }),
                   entries_.end());
}

void flight_loops::clear()
{
    entries_.clear();
    live_ = 0;
}

} // namespace simhost::detail
