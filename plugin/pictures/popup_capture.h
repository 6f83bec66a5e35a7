#pragma once

// The capture pass: once a frame, after the simulator has drawn its gauges,
// every shown display that shows the panel copies its regions of it; every
// hidden one lets go of its textures and overlay renderer, and a display
// showing its cockpit device of its panel textures.

#include "XPLMDisplay.h"

// Finds what the pass reads; called before the callback is registered.
void popup_capture_start();

// A draw callback for the gauges phase, after the simulator's drawing.
int popup_capture_cb(XPLMDrawingPhase phase, int is_before, void *ref);
