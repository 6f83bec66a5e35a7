#pragma once

// When a picture source copies its picture again: the one rule every source
// of a display's picture follows, so that all of them show the same on
// opening and refresh at the same pace.

#include <cstdint>

// Due at once when the source has no texture yet (its window was just opened,
// or opened again after a close released it), so the window is never shown
// empty; after that once a full period of 1 / rate seconds has passed since
// the last copy. A rate of 0 (or less) never copies. The difference is
// unsigned: a counter that wrapped gives a huge one, so the copy is due.
inline bool capture_due(bool has_texture, uint64_t last_capture_us, double rate, uint64_t now_us)
{
    if (!(rate > 0))
        return false;
    if (!has_texture)
        return true;
    return static_cast<double>(now_us - last_capture_us) >= 1000000.0 / rate;
}
