#pragma once

// Rectangles on either desktop, in whatever unit the holder names: the
// simulator's global desktop in boxels, or the operating system's in pixels.
// On both y grows upwards, so a rectangle's top is above its bottom. A point
// belongs to a rectangle when left <= x < right and bottom <= y < top.

namespace simhost {

struct rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return top - bottom; }
    bool empty() const { return right <= left || top <= bottom; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= bottom && y < top; }
    bool overlaps(const rect &o) const
    {
        return left < o.right && o.left < right && bottom < o.top && o.bottom < top;
    }
    bool operator==(const rect &o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const rect &o) const { return !(*this == o); }
};

// A monitor of the operating system, in its pixels.
using monitor_bounds = rect;

// A monitor the simulator runs full screen on, by its operating-system index,
// in global boxels.
struct indexed_monitor {
    int index = 0;
    rect bounds;
};

} // namespace simhost
