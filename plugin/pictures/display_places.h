#pragma once

// Where each display's picture comes from for the user's aircraft: its
// source (the simulator's cockpit device or the panel) and its rectangle of
// the panel. A place comes from the pilot's own aircraft file
// (settings/aircraft/<acf file>.cfg), else from a file beside the aircraft
// (<acf file>.kyv_pop.cfg), else from the built-in rectangles.

#include <array>
#include <string>

// Panel pixels, origin at the panel's bottom-left corner, y up.
struct panel_rect {
    int x, y, w, h;
};

bool operator==(const panel_rect &a, const panel_rect &b);
inline bool operator!=(const panel_rect &a, const panel_rect &b)
{
    return !(a == b);
}

// `automatic`: the cockpit device where the aircraft uses it, else the panel.
enum class picture_source { automatic, panel, device };

// "auto", "panel", "device"; and back (false for any other text).
const char *picture_source_name(picture_source s);
bool picture_source_from_name(const std::string &name, picture_source &out);

struct display_place {
    picture_source source;
    panel_rect rect;
};

// By display: 0 the PFD, 1 the MFD, 2 the second PFD.
constexpr int display_count = 3;
using display_places = std::array<display_place, display_count>;

// "PFD", "MFD", "PFD2"; and the settings-key prefix, "pfd_nbzl_" ...
const char *display_short_name(int display);
const char *display_key_prefix(int display);

// The smallest rectangle a display may copy.
constexpr int place_min_w = 64, place_min_h = 48;

// The panel's size, as read in the last panel pass; 0 x 0 before the first.
struct panel_size {
    int width, height;
};

// (0, 2100), (1024, 0) and (2048, 0), each 1024 x 768, source automatic.
display_places places_built_in();
// What the displays show now.
display_places places_in_use();
// What the pilot's file for this aircraft holds (keys it lacks at their
// built-in values), or what is in use where there is no such file.
display_places places_saved();
panel_size current_panel_size();
// The user's aircraft's .acf file name; empty when the simulator named none.
const std::string &aircraft_file_name();
// Whether the simulator can tell which cockpit devices the aircraft uses.
bool avionics_available();

// Inside the panel and at least place_min_w x place_min_h.
bool place_fits(const panel_rect &r, panel_size panel);

// The plugin's side: called at enable (after the displays' devices are
// started) with the plugin folder and its trailing separator, when the
// user's aircraft has loaded, in every panel pass with the panel's size as
// the simulator gives it there, and at disable. The places are settled at
// the first panel pass after each load, when the panel's size is known, and
// logged then; until then each display's source is picked from the files
// that fit any panel.
void places_start(const std::string &plugin_folder);
void places_aircraft_loaded();
void places_panel_pass(panel_size panel);
void places_stop();

// Writes the places, with the panel's size, to the pilot's file for this
// aircraft (through a temporary file) and makes them the displays' places at
// once. False, with `error` set and logged, when there is no aircraft, a
// place does not fit the panel, or the file cannot be written.
bool places_save(const display_places &places, std::string &error);
