#pragma once

// The G1000 bezel's keys a browser may press: a fixed table of names, each
// the simulator's own command for the display's unit. Nothing outside the
// table ever reaches the simulator.

#include <cstddef>
#include <string>

#include "remote/frame_hub.h"

namespace remote {

struct bezel_key {
    const char *name;  // what the page sends, and the command's suffix
    const char *label; // what the page shows
    const char *group; // where the page puts it: softkeys, a knob, or keys
};

extern const bezel_key bezel_keys[];
extern const std::size_t bezel_key_count;

// The index of a key name in the table, or -1.
int find_bezel_key(const char *name, std::size_t length);

// "sim/GPS/g1000n1_softkey1" for the PFD's first softkey: n1 is the PFD, n3
// the MFD and n2 the second PFD.
std::string bezel_command(display_id d, int key);

// The URL path names: "pfd", "mfd", "pfd2".
const char *display_name(display_id d);

} // namespace remote
