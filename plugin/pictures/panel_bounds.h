#pragma once

// The panel's size, from the simulator's panel-bounds datarefs, which are
// valid only inside panel and gauge callbacks: read it there.

#include "XPLMDataAccess.h"

#include "pictures/display_places.h"

struct panel_bounds {
    XPLMDataRef total[4] = {}; // left, bottom, right, top
};

// Looks the datarefs up; once, before any pass.
panel_bounds panel_bounds_find();
// The size now; 0 x 0 when a dataref is missing or the bounds are empty.
panel_size panel_bounds_read(const panel_bounds &b);
