#pragma once

// The simulator the host plays and the user's aircraft, as the host's caller
// describes them: the version decides which functions XPLMFindSymbol finds,
// the aircraft which of the simulator's own cockpit devices exist, its model
// what its .acf file is and where its 2-D panel draws each display.

#include <array>
#include <string>
#include <vector>

namespace simhost {

// X-Plane 12.1: XPLMFindSymbol finds the avionics functions and
// XPLMGetVersions reports 12100 and 410. X-Plane 11: it finds none of them,
// and reports 11550 and 303.
enum class sim_version { xp11, xp12_1 };

// The simulator's own G1000 screens, by their XPLMDeviceID.
enum class cockpit_device_id { g1000_pfd_1 = 6, g1000_mfd = 7, g1000_pfd_2 = 8 };

struct cockpit_device {
    cockpit_device_id id;
    int width = 1024, height = 768; // the screen's texels
    float bus_volts_ratio = 1;      // its bus voltage over nominal; 0 or below: no power
    bool drawn = true;              // whether the simulator draws it each frame
};

// The devices an aircraft uses; none: its displays are in its panel.
using aircraft = std::vector<cockpit_device>;

// --- The aircraft's model: its .acf file and its 2-D panel ---

// Where the aircraft's 2-D panel draws one glass display: panel pixels, origin bottom-left, y up.
struct panel_face {
    int x, y, w, h;
};
inline bool operator==(const panel_face &a, const panel_face &b)
{
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

// The user's aircraft beside its cockpit devices: its .acf file and its 2-D panel.
struct aircraft_model {
    std::string file = "Cessna_172SP.acf";
    std::string path; // the .acf's full native path; empty: a default under a made-up simulator folder
    int panel_width = 3072, panel_height = 2868;
    std::array<panel_face, 3> faces{
        {{0, 2100, 1024, 768}, {1024, 0, 1024, 768}, {2048, 0, 1024, 768}}}; // PFD, MFD, PFD2
};

// The limits XPLMGetNthAircraftModel's buffers and the panel's texture set.
const int min_panel_side = 64, max_panel_side = 4096;
const size_t acf_file_size = 256, acf_path_size = 512; // with the terminating NUL

// The faces' names, in the order of aircraft_model::faces.
const char *face_name(size_t index);
// Why the host would not load the model (a panel or face out of bounds, a
// name too long for the interface's buffers); empty when it would.
std::string model_problem(const aircraft_model &m);
// The .acf's path as the simulator reports it: the model's own, or
// <simulator folder>/Aircraft/<file name without .acf>/<file name>.
std::string acf_path(const aircraft_model &m, sim_version v);
// --- end of the aircraft's model ---

} // namespace simhost
