#pragma once

// The deferred start-up: the menu and the windows wait until the simulator
// has run 50 flight loops after the enable, so they come up in a simulator
// that is fully running.

// Counts from the next flight loop on; called at every enable.
void startup_reset();

// The flight-loop callback; asks to be called again every flight loop.
float startup_flight_loop(float since_call, float since_loop, int counter, void *ref);

// Removes the menu the start-up built, if it did; called at disable so a
// later enable builds the one menu again.
void startup_remove_menu();

// Opens every display set to open at start that is not open yet.
void open_popups_at_start();
