#pragma once

// The records that describe one glass display: what it shows (capture
// regions of the simulator's panel), where its settings live, and the
// handles its window holds while the plugin is enabled.

#include <cstdint>
#include <string>
#include <vector>

#include <cairo.h>

#include "XPLMDataAccess.h"
#include "XPLMDisplay.h"
#include "XPLMUtilities.h"

#include <acfutils/cursor.h>
#include <acfutils/geom.h>
#include <acfutils/mt_cairo_render.h>
#include <acfutils/widget.h>

#include "pictures/avionics_api.h"
#include "settings/config.h"
#include "pictures/picture_watch.h"

// A clickable rectangle of a display, in display pixels (origin top-left,
// y down): a single command, or a knob whose halves fire one of two.
struct hotspot {
    cursor_t *cursor = nullptr;
    int32_t knob_size = 0; // 1 medium, 2 large, anything else small
    double x = 0, y = 0;   // centre
    double w = 0, h = 0;
    std::string cmd_name;
    std::string cmd_r_name; // right half, centre included
    std::string cmd_l_name;
    bool single = true;
    XPLMCommandRef cmd_r = nullptr;
    XPLMCommandRef cmd_l = nullptr;
    XPLMCommandRef cmd = nullptr;
    bool active = false;
};

// Content drawn by a renderer owned elsewhere, placed by fractions of the
// content area (place_y from the top edge).
struct cairo_source {
    mt_cairo_render_t **mtcr;
    double place_x, place_y, place_w, place_h;
};

struct capture_region;
typedef void (*capture_draw_fn)(capture_region *region, vect2_t pos, vect2_t size, void *user);

// One rectangle of the panel framebuffer (origin bottom-left) and where it
// goes in the window, as fractions of the content area (place_y from the top).
// A list of regions ends with an entry whose src_x is NaN.
struct capture_region {
    double src_x, src_y, src_w, src_h;
    double place_x, place_y, place_w, place_h;
    double rate; // captures per second
    capture_draw_fn draw_fn;
    uint64_t last_capture_us; // 0: never
    uint32_t tex;
    uint32_t fbo;
};

bool region_is_end(const capture_region &r);

// The simulator's own cockpit device a display can show instead of its panel
// rectangles, and the display's copy of the device's screen.
struct device_feed {
    int device;                    // its device id
    const char *device_name;       // "G1000 PFD 1", for the log
    const char *short_name;        // the display's, "PFD", for the log
    avionics::api api;             // found at enable
    avionics::handle registration; // its after-draw callback's
    avionics::handle handle;       // for questions about the device
    XPLMDataRef fbo_ref, viewport_ref;
    bool active;            // the display shows the device
    capture_region picture; // the copy: its texture, and where it goes in the window
};

struct popup {
    popup_keys *keys;
    std::vector<hotspot *> hotspots;
    capture_region *regions;
    device_feed device;
    picture_watch watch; // whether the shown window gets pictures
    cairo_source *cairo_src;
    bool use_capture;
    std::string cmd_name;
    std::string title;
    std::string image;
    double fps;
    cairo_surface_t *bezel;
    mt_cairo_render_t *mtcr;
    XPLMWindowID win;
    XPLMCommandRef cmd;
    double width;
    double height;
    int32_t grab_dx;
    int32_t grab_dy;
    int32_t resize_side;
    int32_t dragging;
    win_resize_ctl_t resize_ctl;
};

// The three displays, alive as long as the module.
extern popup pfd_popup;
extern popup mfd_popup;
extern popup pfd2_popup;

// The first hot-spot, in list order, that strictly contains the display
// point (px, py); null when none does.
hotspot *find_hotspot(const popup *pup, double px, double py);

// Looks up the commands of the display's hot-spots; unknown names stay null.
void resolve_hotspot_commands(popup *pup);
