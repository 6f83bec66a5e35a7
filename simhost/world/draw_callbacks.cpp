#include "world/draw_callbacks.h"

#include <algorithm>

namespace simhost::detail {

namespace {

const std::vector<XPLMDrawingPhase> phase_order = {xplm_Phase_Modern3D, xplm_Phase_FirstCockpit,
                                                   xplm_Phase_Panel,    xplm_Phase_Gauges,
                                                   xplm_Phase_Window,   xplm_Phase_LastCockpit};

} // namespace

const std::vector<XPLMDrawingPhase> &draw_callbacks::phases()
{
    return phase_order;
}

bool draw_callbacks::known_phase(XPLMDrawingPhase phase)
{
    return std::find(phase_order.begin(), phase_order.end(), phase) != phase_order.end();
}

draw_callbacks::entry *draw_callbacks::find(XPLMDrawCallback_f fn, XPLMDrawingPhase phase, bool before,
                                            void *refcon)
{
    for (entry &e : entries_) {
        if (e.live && e.fn == fn && e.phase == phase && e.before == before && e.refcon == refcon)
            return &e;
    }
    return nullptr;
}

bool draw_callbacks::add(XPLMDrawCallback_f fn, XPLMDrawingPhase phase, int before, void *refcon)
{
    if (fn == nullptr || !known_phase(phase) || find(fn, phase, before != 0, refcon) != nullptr)
        return false;
    entries_.push_back(entry{fn, phase, before != 0, refcon, true});
    live_++;
    return true;
}

bool draw_callbacks::remove(XPLMDrawCallback_f fn, XPLMDrawingPhase phase, int before, void *refcon)
{
    entry *e = find(fn, phase, before != 0, refcon);
    if (e == nullptr)
        return false;
    e->live = false;
    live_--;
    if (running_ == 0)
        compact();
    return true;
}

bool draw_callbacks::has_phase(XPLMDrawingPhase phase) const
{
    return std::any_of(entries_.begin(), entries_.end(),
                       [phase](const entry &e) { return e.live && e.phase == phase; });
}

void draw_callbacks::run_phase(XPLMDrawingPhase phase, bool before)
{
    running_++;
    // Index, not iterator: a callback may register another and so move the vector.
    const size_t n = entries_.size();
    for (size_t i = 0; i < n; i++) {
        const entry e = entries_[i];
        if (e.live && e.phase == phase && e.before == before) {
            const plugin_call call(gate_, "a draw callback");
            e.fn(phase, before ? 1 : 0, e.refcon);
        }
    }
    if (--running_ == 0)
        compact();
}

void draw_callbacks::compact()
{
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [](const entry &e) { return !e.live; }),
                   entries_.end());
}

void draw_callbacks::clear()
{
    entries_.clear();
    live_ = 0;
}

} // namespace simhost::detail
