#pragma once

namespace simhost {

// Wall time the plugin's callbacks took in one frame, in microseconds.
struct plugin_timing {
    double draw_callbacks_us = 0; // every draw callback of every phase
    double window_draws_us = 0;   // every window draw callback
    int window_draws = 0;
};

} // namespace simhost
