#pragma once

// Which monitors the simulator has, asked through its monitor enumeration.
// Every question logs the whole monitor list.

// Whether a monitor has this index.
bool monitor_present(int index);

// The monitor strictly containing the point (global boxels): the last one
// reported when several do, -1 when none does (a point on an edge included).
int monitor_at(int x, int y);

// The monitors a display fits full screen: the first of a display's width
// found goes to the PFD, the last to the MFD; -1 where none was found.
struct monitor_pick {
    int pfd;
    int mfd;
};
monitor_pick pick_display_monitors();
