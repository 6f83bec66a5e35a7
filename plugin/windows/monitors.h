#pragma once

// Which monitors the simulator has, asked through its monitor enumerations.
// Every question logs the whole monitor list, the saved-rectangle check only
// when it finds no monitor.

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

// Why no window can have this saved popped-out rectangle (left x, bottom y,
// w x h, in the operating system's pixels), or null when one can: at least
// min_window_width wide, a positive height, edges inside the coordinates,
// and overlapping a monitor the operating system has. (There is no maximum:
// a window may be resized past any size.)
const char *popout_rect_problem(int x, int y, int w, int h);

// Converts a rectangle of the global desktop (boxels) into the operating
// system's pixels through the full-screen monitor it overlaps most, which has
// the same index in both monitor lists. Returns why it cannot, or null when
// it did: a simulator in a window has no full-screen monitor to go through.
const char *global_rect_to_os(int &left, int &top, int &right, int &bottom);
