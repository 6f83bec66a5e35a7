#pragma once

// The simulator's GL habits that a test or a scenario can vary; each default
// is the simulator's own.

#include <vector>

namespace simhost {

struct gl_habits {
    // Freed texture names handed out again by glGenTextures, lowest first
    // (Linux only, where the host's executable stands between the plugin
    // and the driver).
    bool texture_name_reuse = true;
    // Depth under a window when it is drawn: as the windows drawn before it
    // left it, else cleared for each window.
    bool keep_window_depth = false;
    // The gauges phase once per value, in order, with panel_render_type set
    // to it and the panel drawn for that pass: 1 unlit (the displays dark),
    // 2 or 0 lit. Empty skips the phase. As the simulator draws its panel in
    // the 3D cockpit: the unlit elements first, then the lit ones.
    std::vector<int> panel_passes{1, 2};
};

} // namespace simhost
