#pragma once

// Where things go in the picker's window, in boxels: the picture of the
// panel above, a status line and two rows of buttons below it, a line of
// help at the bottom. No simulator or GL here.

#include <array>

#include "pictures/display_places.h"

struct boxel_rect {
    int left, top, right, bottom;
};

enum class picker_button { save, revert, defaults, keep_4_3, source_pfd, source_mfd, source_pfd2, count };
constexpr int picker_button_count = static_cast<int>(picker_button::count);

struct picker_layout {
    boxel_rect picture_area;
    std::array<boxel_rect, picker_button_count> buttons;
    bool sources_shown; // the three source buttons exist only where a source can be chosen
    int text_left;
    int status_baseline, help_baseline;
};

// The window's inside is (left, top, right, bottom), as its geometry reports it.
picker_layout layout_picker(int left, int top, int right, int bottom, bool sources_shown);

// The button under the point, or picker_button::count where none is.
picker_button button_at(const picker_layout &layout, int x, int y);

// The window's rectangle when it first opens: about 900 x 760, less where
// the screen is smaller, centred in the screen's bounds (left, top, right,
// bottom) at no more than the main screen's size.
boxel_rect first_window_rect(const boxel_rect &screen, int main_width, int main_height);

// The panel drawn into the picture area, its whole shape kept and centred:
// a panel pixel (x, y) lands on boxel (left + x * scale, bottom + y * scale).
struct picture_place {
    double left, bottom, scale;

    double boxel_x(double panel_x) const { return left + panel_x * scale; }
    double boxel_y(double panel_y) const { return bottom + panel_y * scale; }
    double panel_x(double boxel_x) const { return (boxel_x - left) / scale; }
    double panel_y(double boxel_y) const { return (boxel_y - bottom) / scale; }
};
// A panel of no size is drawn as a square filling the area's height.
picture_place fit_picture(const boxel_rect &area, panel_size panel);
