#pragma once

// The simulator the host plays and the user's aircraft, as the host's caller
// describes them: the version decides which functions XPLMFindSymbol finds,
// the aircraft which of the simulator's own cockpit devices exist.

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

} // namespace simhost
