#pragma once

// A capture region's life: copying its rectangle of the panel into a texture
// of its own on the graphics card, drawing that texture, and releasing it.
// Everything here runs on the simulator's drawing thread.

#include <cstdint>

#include <acfutils/geom.h>

#include "windows/popup.h"

// One region's step in a capture pass: captured while its window is shown,
// released while it is not. A region with its own draw_fn is left alone.
void scr_cap_update(capture_region *region, bool visible, uint64_t now_us);

// Copies the region from the framebuffer the simulator has bound when
// capture_due says so: at once while it has no texture, then at most `rate`
// times per second. Creates the texture and framebuffer on first use.
void scr_cap_capture(capture_region *region, uint64_t now_us);

// Makes the region's texture (src_w x src_h) and the framebuffer that writes
// into it, where it has none yet; leaves both bound.
void scr_cap_prepare(capture_region *region);

// Deletes the region's framebuffer and texture, if any.
void scr_cap_release(capture_region *region);

// Draws the region's texture upright in the quad with bottom-left `pos` and
// size `size` (window coordinates), or hands both to its draw_fn.
void scr_cap_draw(capture_region *region, vect2_t pos, vect2_t size, void *user);
