#pragma once

// Timing the plugin's callbacks, for host::set_plugin_timing.

#include "core/host_state.h"
#include "gl/gl_api.h"

#include <chrono>

namespace simhost::detail {

// Runs `fn`, adding its wall time to `total_us` when timing is on.
template <typename Fn> void timed(const host_state &s, double &total_us, Fn &&fn)
{
    if (!s.timing) {
        fn();
        return;
    }
    if (s.timing_finish_gl)
        glFinish();
    const auto t0 = std::chrono::steady_clock::now();
    fn();
    if (s.timing_finish_gl)
        glFinish();
    total_us += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace simhost::detail
