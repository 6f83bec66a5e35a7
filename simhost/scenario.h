#pragma once

// A scenario: what a person wants done to a plugin, frame by frame, written as
// a small text file of one item per line. Parsing it needs neither GL nor the
// host, so a bad file is reported before anything is loaded.

#include "geometry.h"

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
    // --- the user's aircraft and its cockpit devices ---
    aircraft,
    device_power,
    device_drawn
};

// A cockpit device of the user's aircraft: its XPLMDeviceID and screen size.
struct scenario_device {
    int id = 0;
    int width = 1024, height = 768;
};

struct scenario_action {
    long frame = 0; // resolved frame
    action_kind kind = action_kind::command_once;
    std::string name; // command, dataref or screenshot name
    std::vector<std::string> menu_path;
    int x = 0, y = 0, x2 = 0, y2 = 0;
    int value = 0;   // dataref value, or the window of an operating-system move or resize
    long frames = 0; // hold / drag length
    int line = 0;    // 1-based line in the file, for messages
    // --- aircraft, device ---
    std::vector<scenario_device> devices; // an aircraft's; a device action's one
    double ratio = 0;                     // a bus voltage ratio
    bool on = false;                      // drawn or not
};

// How the simulator sits on the monitors, and the host's modes.
struct scenario_desk {
    std::vector<int> full_screen; // the monitors it runs full screen on; empty: all
    int main = -1;                // the one with the menu bar; -1: the first listed
    bool windowed = false;
    rect window; // operating-system pixels, when windowed
    int scale = 100;
    int offset_x = 0, offset_y = 0;
    bool popped_last_floating = false;
    bool popout_delay = true;
};

struct scenario {
    std::string file;                     // as given, for messages
    std::vector<monitor_bounds> monitors; // operating-system pixels; empty: the caller's default layout
    scenario_desk desk;
    double fps = 60;
    long frames = 600;
    std::vector<scenario_action> actions; // sorted by frame, file order kept within a frame

    // --- The simulator's GL habits (keyword "gl"); the defaults are the host's ---
    bool texture_name_reuse = true;
    bool keep_window_depth = false;
    std::vector<int> panel_passes{1, 2};
    // --- end of the GL habits ---

    // --- The simulator's version and the user's aircraft at the start ---
    bool xplane11 = false; // else X-Plane 12.1
    std::vector<scenario_device> aircraft;
    // --- end of the version and the aircraft ---
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
