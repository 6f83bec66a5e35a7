#pragma once

// A capture region's GL objects: the texture that holds the captured pixels
// and the framebuffer that writes into it.

#include "popup.h"

// Deletes the region's framebuffer and texture, if any.
void scr_cap_release(capture_region *region);
