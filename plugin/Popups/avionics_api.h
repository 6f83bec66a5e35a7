#pragma once

// The simulator's avionics functions, found at run time. They exist from
// X-Plane 12 on; a plugin that imported even one of them would not load on an
// older simulator at all, so they are looked up by name and declared here, in
// our own terms, as the interface's version 4.1 lays them out.

#include <cstdint>

namespace avionics {

// The simulator's own G1000 screens, by their device ids.
constexpr int g1000_pfd_1 = 6;
constexpr int g1000_mfd = 7;
constexpr int g1000_pfd_2 = 8;

using handle = void *;
// Before the simulator draws the screen (0 keeps it from drawing) or after (ignored).
using draw_fn = int (*)(int device, int is_before, void *refcon);
// The mouse, cursor and key callbacks of version 4.1, which this plugin leaves empty.
using input_fn = void (*)();

// The parameters of a registration, in version 4.1's layout: structSize tells
// the simulator which layout it was given, so it is this structure's size.
struct customize {
    int struct_size;
    int device;
    draw_fn before;
    draw_fn after;
    input_fn bezel_click, bezel_right_click, bezel_scroll, bezel_cursor;
    input_fn screen_touch, screen_right_touch, screen_scroll, screen_cursor;
    input_fn keyboard;
    void *refcon;
};

struct api {
    handle (*register_callbacks)(customize *params) = nullptr;
    void (*unregister_callbacks)(handle registration) = nullptr;
    handle (*get_handle)(int device) = nullptr;
    int (*is_bound)(handle h) = nullptr;
    // Optional: without it every bound device counts as powered.
    float (*bus_volts_ratio)(handle h) = nullptr;

    // The four a cockpit device needs are all there.
    bool usable() const
    {
        return register_callbacks != nullptr && unregister_callbacks != nullptr && get_handle != nullptr &&
               is_bound != nullptr;
    }
};

// Each function through XPLMFindSymbol; a missing one stays null.
api find_api();

} // namespace avionics
