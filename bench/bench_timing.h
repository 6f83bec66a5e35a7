#pragma once

// What the benchmarks share: frames paced in real time, and the figures
// taken from their samples.

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "host.h"

namespace bench {

using clock_type = std::chrono::steady_clock;

inline double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

inline double mean(const std::vector<double> &v)
{
    double sum = 0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

// Runs frames paced at `rate` for `seconds` of real time, `each` after
// every frame; returns the seconds it took.
template <typename F> double paced_frames(simhost::host &h, double rate, double seconds, F each)
{
    h.set_frame_rate(rate);
    h.run_frames(static_cast<int>(rate / 4)); // settle
    const auto period =
        std::chrono::duration_cast<clock_type::duration>(std::chrono::duration<double>(1 / rate));
    const auto start = clock_type::now();
    auto next = start;
    while (clock_type::now() - start < std::chrono::duration<double>(seconds)) {
        std::this_thread::sleep_until(next);
        next += period;
        if (next < clock_type::now())
            next = clock_type::now(); // behind: run the next frame at once, do not catch up
        each();
    }
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

} // namespace bench
