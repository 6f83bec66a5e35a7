#pragma once

// The simulator's avionics functions, found at run time. They exist from
// X-Plane 12 on; a plugin that imported even one of them would not load on an
// older simulator at all, so they are looked up by name and declared here
// as the interface's version 4.1 lays them out.

#include <cstdint>

#include "XPLMDisplay.h"

#if !defined(XPLM400)
// The registration parameters under the interface's own name, so that the
// simulator's function, called through the pointer below, has exactly the
// type it is defined with. Built for an older interface, the plugin's headers
// do not declare it.
extern "C" {
typedef struct {
    int structSize;
    int deviceId;
    // Before the simulator draws the screen (0 keeps it from drawing) or after (ignored).
    int (*drawCallbackBefore)(int device, int is_before, void *refcon);
    int (*drawCallbackAfter)(int device, int is_before, void *refcon);
    // The mouse, cursor and key callbacks of version 4.1, which this plugin leaves empty.
    void (*bezelClickCallback)();
    void (*bezelRightClickCallback)();
    void (*bezelScrollCallback)();
    void (*bezelCursorCallback)();
    void (*touchScreenCallback)();
    void (*touchScreenRightClickCallback)();
    void (*touchScreenScrollCallback)();
    void (*touchScreenCursorCallback)();
    void (*keyboardCallback)();
    void *refcon;
} XPLMCustomizeAvionics_t;
}
#endif

namespace avionics {

// The simulator's own G1000 screens, by their device ids.
constexpr int g1000_pfd_1 = 6;
constexpr int g1000_mfd = 7;
constexpr int g1000_pfd_2 = 8;

using handle = void *;

// The parameters of a registration, in version 4.1's layout: structSize tells
// the simulator which layout it was given, so it is this structure's size.
using customize = XPLMCustomizeAvionics_t;

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
