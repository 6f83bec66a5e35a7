#pragma once

// Notices a shown window whose display delivers no picture, so that the log
// can say why a window stays empty: once, and again only after a picture has
// come and gone.

#include <cstdint>

struct picture_watch {
    int last_cycle = -1;     // the simulator's frame the window was last drawn in
    double shown_since = 0;  // seconds of the simulator's clock
    double last_picture = 0; // when a new picture last came
    uint64_t seen_stamp = 0; // the source's capture time, as last seen
    bool reported = false;   // said so, and no picture since
};

// Seconds a shown window goes without a new picture before it is reported.
constexpr double no_picture_after_s = 2;

// Called each time the window is drawn, with the simulator's frame number and
// clock, and the showing source's last capture time (0: it holds none). A
// window not drawn in the frame before was hidden and counts as shown anew.
// True the one time the window has been shown for no_picture_after_s without
// a new picture.
bool picture_watch_drawn(picture_watch &w, int cycle, double now_s, uint64_t stamp);

struct popup;

// For a display's window being drawn: logs, when the watch says so, that it
// shows no picture, with the likely reasons for the source it shows.
void popup_watch_picture(popup *pup);
