#include "pictures/picker/picker_layout.h"

#include <algorithm>

namespace {

constexpr int margin = 8;
constexpr int button_h = 22, gap = 8;
// From the window's bottom edge: the help line, the two rows of buttons, the
// status line; the picture takes the rest.
constexpr int help_y = 8, row_1_y = 26, row_2_y = row_1_y + button_h + 6, status_y = row_2_y + button_h + 8;
constexpr int picture_y = status_y + 18;

constexpr int preferred_w = 900, preferred_h = 760;
// Room around the window for its title bar and the screen's edges.
constexpr int screen_margin = 30;

// Buttons of these widths in a row from the left edge, from `first` on.
void row(picker_layout &l, int left, int bottom, picker_button first, std::initializer_list<int> widths)
{
    int x = left;
    auto i = static_cast<size_t>(first);
    for (int w : widths) {
        l.buttons[i++] = {x, bottom + button_h, x + w, bottom};
        x += w + gap;
    }
}

} // namespace

picker_layout layout_picker(int left, int top, int right, int bottom, bool sources_shown)
{
    picker_layout l{};
    l.picture_area = {left + margin, top - margin, right - margin, bottom + picture_y};
    l.sources_shown = sources_shown;
    l.text_left = left + margin;
    l.status_baseline = bottom + status_y;
    l.help_baseline = bottom + help_y;
    row(l, left + margin, bottom + row_1_y, picker_button::save, {90, 100, 100, 140});
    if (sources_shown)
        row(l, left + margin, bottom + row_2_y, picker_button::source_pfd, {150, 150, 150});
    return l;
}

picker_button button_at(const picker_layout &layout, int x, int y)
{
    for (int i = 0; i < picker_button_count; i++) {
        const boxel_rect &b = layout.buttons[static_cast<size_t>(i)];
        if (b.right > b.left && x >= b.left && x < b.right && y >= b.bottom && y < b.top)
            return static_cast<picker_button>(i);
    }
    return picker_button::count;
}

boxel_rect first_window_rect(const boxel_rect &screen, int main_width, int main_height)
{
    const int w = std::max(1, std::min(preferred_w, main_width - 2 * screen_margin));
    const int h = std::max(1, std::min(preferred_h, main_height - 2 * screen_margin));
    const int left = screen.left + (screen.right - screen.left - w) / 2;
    const int bottom = screen.bottom + (screen.top - screen.bottom - h) / 2;
    return {left, bottom + h, left + w, bottom};
}

picture_place fit_picture(const boxel_rect &area, panel_size panel)
{
    const double aw = std::max(0, area.right - area.left), ah = std::max(0, area.top - area.bottom);
    const double pw = std::max(1, panel.width), ph = std::max(1, panel.height);
    // Never 0: boxels are turned back into panel pixels by dividing by it.
    const double scale = std::max(1e-6, std::min(aw / pw, ah / ph));
    return {area.left + (aw - pw * scale) / 2, area.bottom + (ah - ph * scale) / 2, scale};
}
