#pragma once

// Where the displays' pictures meet the picture feed: each display is read
// from the same source its window's texture is copied from (its panel
// rectangle, or its cockpit device's screen), in the same pass, whether or
// not its window is shown.

#include <cstdint>

#include "windows/popup.h"

// In the lit panel pass, the panel bound for drawing: every display whose
// source is its panel rectangle.
void popup_feed_panel_pass(std::uint64_t now_us);

// In a device's after-draw callback: the display showing that device, whose
// screen is at `viewport` (left, bottom, right, top) of framebuffer `fbo`.
void popup_feed_device(const popup *pup, int fbo, const int viewport[4], std::uint64_t now_us);
