#pragma once

// Window arithmetic on boxel coordinates. A mouse dragged far off every
// monitor, or a window grown without bound, must not overflow an int, so
// sums and differences are taken in 64 bits and brought back in range.

#include <climits>
#include <cstdint>

inline int saturate(int64_t v)
{
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

inline int64_t clamp64(int64_t v, int64_t lo, int64_t hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}
