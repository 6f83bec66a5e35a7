#pragma once

// Which monitor the PFD and the MFD fill: found at start-up, exchanged on
// the pilot's request.

// Gives the PFD the first monitor of a display's width and the MFD the last,
// marking each to open there, unless its settings keep it out (popup at
// start below 0).
void assign_monitors();

// Exchanges the PFD's and the MFD's monitors and moves their windows there;
// only when both are set to open on a monitor.
void swap_screens();
