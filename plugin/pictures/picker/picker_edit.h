#pragma once

// The picker's editing session: the places being edited, which display is
// selected, and the gesture of a press under way. Points are panel pixels;
// every change goes through picker_geometry, so the places stay inside the
// panel. No simulator or GL here.

#include <string>

#include "pictures/display_places.h"
#include "pictures/picker/picker_geometry.h"

struct picker_gesture {
    enum class kind { none, move, resize } what = kind::none;
    int display = 0;
    rect_corner corner = rect_corner::bottom_left;
    panel_rect start{0, 0, 0, 0};
    double press_x = 0, press_y = 0;
};

struct picker_edit {
    display_places places{};
    int selected = 0;
    bool keep_4_3 = true;
    picker_gesture gesture;
    // The outcome of the last save, shown until the next edit or save.
    std::string message;
    bool message_is_error = false;
};

// Takes these places (in use, saved, built-in) as the edited ones, with no
// gesture under way and no message.
void edit_reset(picker_edit &e, const display_places &from);

// A press: near a corner of a rectangle (the selected one first) starts a
// resize from that corner, inside one a move; either selects it. `reach` is
// how near counts, in panel pixels. False when it hit no rectangle.
bool edit_press(picker_edit &e, double x, double y, double reach);
// The gesture follows the point: the rectangle moves, or its corner goes,
// by the whole panel pixels the point has gone since the press.
void edit_drag(picker_edit &e, double x, double y, panel_size panel);
// The last step of the gesture, which ends; false when there was none.
bool edit_release(picker_edit &e, double x, double y, panel_size panel);

void edit_nudge(picker_edit &e, int dx, int dy, panel_size panel);
void edit_select(picker_edit &e, int display);
void edit_toggle_keep_4_3(picker_edit &e);
// auto, then panel, then device, then auto again.
void edit_cycle_source(picker_edit &e, int display);
