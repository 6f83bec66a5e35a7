#pragma once

// Microseconds of the high-resolution performance counter. The product
// wraps modulo 2^64 like every unsigned sum; callers compare differences.

#include <cstdint>

#include <os/os.h>

inline std::uint64_t perf_now_us()
{
    return os_perf_counter() * UINT64_C(1000000) / os_perf_frequency();
}
