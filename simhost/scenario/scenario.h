#pragma once

// A scenario: what a person wants done to a plugin, frame by frame, written as
// a small text file of one item per line. Parsing it needs neither GL nor the
// host, so a bad file is reported before anything is loaded.

#include "geometry.h"
#include "gl/gl_habits.h"
#include "scenario/key_names.h"
#include "world/aircraft.h"
#include "world/desk_config.h"

#include <string>
#include <vector>

namespace simhost {

enum class action_kind {
    command_once,
    command_begin,
    command_end,
    hold,
    menu,
    mouse,
    click,
    drag,
    right_click,
    set_dataref,
    disable,
    enable,
    screenshot,
    os_move,
    os_resize,
    aircraft, // the user's aircraft and its cockpit devices

    device_power,
    device_drawn,
    key,      // a key pressed and released
    close_box // the close box of the visible window titled `name`
};

struct scenario_action {
    long frame = 0; // resolved frame
    action_kind kind = action_kind::command_once;
    std::string name; // command, dataref or screenshot name
    std::vector<std::string> menu_path;
    int x = 0, y = 0, x2 = 0, y2 = 0;
    int value = 0;        // dataref value, or the window of an operating-system move or resize
    long frames = 0;      // hold / drag length
    int line = 0;         // 1-based line in the file, for messages
    aircraft devices;     // an aircraft's; a device action's one
    aircraft_model model; // an aircraft's .acf and panel
    double ratio = 0;     // a device's bus voltage ratio
    bool on = false;      // whether a device is drawn
    key_stroke key;       // a key's, `name` its name as written
};

struct scenario {
    std::string file; // as given, for messages
    desk_config desk; // "monitor" lines replace its one default monitor
    double fps = 60;
    long frames = 600;
    std::vector<scenario_action> actions; // sorted by frame, file order kept within a frame

    gl_habits gl;                                // keyword "gl"
    sim_version simulator = sim_version::xp12_1; // keyword "simulator"
    simhost::aircraft aircraft;                  // keyword "aircraft": the one it starts with
    aircraft_model model;                        // and its .acf and panel
};

// Parses a scenario's text. On error returns false, leaves `out` as it was and
// sets `error` to "<file>:<line>: <what is wrong>", naming the offending token.
bool parse_scenario(const std::string &text, const std::string &file, scenario &out, std::string &error);
// Reads and parses a file; an unreadable file gives "<file>: cannot read: <strerror>".
bool load_scenario(const std::string &path, scenario &out, std::string &error);
// A one-line description of an action for progress output, e.g.
// "frame 60: menu KYV Popups > PFD2 POPUP".
std::string describe(const scenario_action &a);

} // namespace simhost
