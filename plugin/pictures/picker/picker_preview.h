#pragma once

// The picker's picture of the whole panel: a small texture of its own,
// filled on the graphics card from the panel the simulator draws, at most
// five times a second and only while the picker's window is shown. The
// gauges-phase callback that fills it is registered only then.

#include "XPLMDataAccess.h"
#include "XPLMDisplay.h"

#include "pictures/display_places.h"
#include "pictures/panel_bounds.h"
#include "pictures/picker/picker_layout.h"
#include "windows/popup.h"

struct picker_preview {
    XPLMWindowID window = nullptr; // the picker's, once made
    capture_region picture{};      // its texture and framebuffer, at src_w x src_h
    panel_size seen{0, 0};         // the panel's size at the last lit pass
    panel_size assumed{0, 0};      // what to take where neither the pass nor the displays know it
    bool registered = false;
    XPLMDataRef render_type = nullptr;
    panel_bounds bounds;
};

// Finds the datarefs the callback reads; at enable.
void preview_start(picker_preview &p);
// Registers the callback, once.
void preview_open(picker_preview &p);
// Unregisters it and lets go of the texture.
void preview_close(picker_preview &p);

// The panel's size: as the last lit pass read it, else as the displays know
// it, else as assumed.
panel_size preview_panel(const picker_preview &p);

// The picture at `place`; false before there is one.
bool preview_draw(const picker_preview &p, const picture_place &place, panel_size panel);
