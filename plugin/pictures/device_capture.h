#pragma once

// A display's picture from the simulator's own cockpit device. Where the
// simulator has the avionics functions and the user's aircraft uses the
// display's device, the display shows that device's screen, copied on the
// graphics card right after the simulator draws it; everywhere else it shows
// its panel rectangles, as before.

#include <cstdint>

#include <acfutils/geom.h>

#include "pictures/avionics_api.h"
#include "windows/popup.h"

// At enable: registers the display's after-draw callback for its device
// (when `api` is usable); the display shows its panel rectangle until its
// source is chosen.
void device_capture_start(popup *pup, const avionics::api &api);
// Whether the display can show its device: the simulator has the avionics
// functions and the user's aircraft uses the device.
bool device_capture_available(const popup *pup);
// Makes the display show its device (`use_device`, where available) or its
// panel rectangle; the next copy of either is due at once. True when it
// shows the device.
bool device_capture_choose(popup *pup, bool use_device);
// At disable: unregisters the callback and lets go of the copy.
void device_capture_stop(popup *pup);

// Whether the display shows its device now.
bool device_capture_active(const popup *pup);
// Lets go of the display's copy of the device's screen, if it holds one.
void device_capture_release(popup *pup);
// Draws the copy in the quad at `pos`, `size`; with the device unpowered,
// black over the whole content area (`area_pos`, `area_size`) instead.
void device_capture_draw(popup *pup, vect2_t area_pos, vect2_t area_size, vect2_t pos, vect2_t size);

// The after-draw callback: at most `rate` times a second, and only while the
// display's window is shown, copies the device's screen, from the
// framebuffer and viewport the simulator names at this call. Never keeps
// the simulator from drawing.
int device_capture_after_draw(int device, int is_before, void *ref);
