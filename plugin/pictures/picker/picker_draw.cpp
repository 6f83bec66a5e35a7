#include "pictures/picker/picker_draw.h"

#include <cstdio>

#include "XPLMGraphics.h"

#include <acfutils/glew.h>

namespace {

struct colour {
    float r, g, b;
};

// PFD, MFD, PFD2.
constexpr colour display_colours[display_count] = {
    {0.2f, 0.8f, 1.0f}, {0.4f, 1.0f, 0.3f}, {1.0f, 0.6f, 0.1f}};
constexpr colour placeholder{0.08f, 0.09f, 0.1f};
constexpr colour label_backing{0.05f, 0.05f, 0.06f};
constexpr colour button_fill{0.18f, 0.2f, 0.24f};
constexpr colour button_edge{0.55f, 0.58f, 0.62f};
constexpr colour text{0.92f, 0.92f, 0.92f};
constexpr colour error_text{1.0f, 0.25f, 0.2f};
constexpr colour saved_text{0.4f, 1.0f, 0.3f};

constexpr int handle = 4; // half the side of a selected rectangle's corner squares

const char *const help =
    "Drag a rectangle to move it, a corner to resize it. Arrows: 1 pixel (Shift: 10). 1, 2, 3: select.";

// The current colour is undefined on entry and after text: set before each quad.
void fill(colour c, float left, float bottom, float right, float top)
{
    glColor4f(c.r, c.g, c.b, 1);
    glBegin(GL_QUADS);
    glVertex2f(left, bottom);
    glVertex2f(left, top);
    glVertex2f(right, top);
    glVertex2f(right, bottom);
    glEnd();
}

void outline(colour c, float left, float bottom, float right, float top, float width)
{
    fill(c, left, bottom, left + width, top);
    fill(c, right - width, bottom, right, top);
    fill(c, left, bottom, right, bottom + width);
    fill(c, left, top - width, right, top);
}

void plain_state()
{
    XPLMSetGraphicsState(0, 0, 0, 0, 0, 0, 0);
}

void write(colour c, int x, int y, const char *s)
{
    float rgb[3] = {c.r, c.g, c.b};
    XPLMDrawString(rgb, x, y, s, nullptr, xplmFont_Proportional);
}

void draw_place(const picture_place &place, const display_place &p, int display, bool selected)
{
    const colour c = display_colours[display];
    const auto left = static_cast<float>(place.boxel_x(p.rect.x));
    const auto bottom = static_cast<float>(place.boxel_y(p.rect.y));
    const auto right = static_cast<float>(place.boxel_x(p.rect.x + p.rect.w));
    const auto top = static_cast<float>(place.boxel_y(p.rect.y + p.rect.h));
    plain_state();
    outline(c, left, bottom, right, top, selected ? 3.0f : 1.0f);
    if (selected)
        for (float x : {left, right})
            for (float y : {bottom, top})
                fill(c, x - handle, y - handle, x + handle, y + handle);
    char line[64];
    const int n = snprintf(line, sizeof(line), "%d, %d, %d x %d", p.rect.x, p.rect.y, p.rect.w, p.rect.h);
    // On a dark backing, to be read over any picture.
    const float text_w = XPLMMeasureString(xplmFont_Proportional, line, n);
    fill(label_backing, left + 3, top - 32, left + 9 + text_w, top - 3);
    write(c, static_cast<int>(left) + 6, static_cast<int>(top) - 15, display_short_name(display));
    write(c, static_cast<int>(left) + 6, static_cast<int>(top) - 29, line);
}

void draw_button(const boxel_rect &b, colour edge, const char *label)
{
    plain_state();
    const auto left = static_cast<float>(b.left), bottom = static_cast<float>(b.bottom);
    const auto right = static_cast<float>(b.right), top = static_cast<float>(b.top);
    fill(button_fill, left, bottom, right, top);
    outline(edge, left, bottom, right, top, 1.0f);
    write(text, b.left + 8, b.bottom + 7, label);
}

const boxel_rect &button(const picker_layout &l, picker_button which)
{
    return l.buttons[static_cast<size_t>(which)];
}

void draw_buttons(const picker_layout &l, const picker_edit &e)
{
    draw_button(button(l, picker_button::save), button_edge, "Save (S)");
    draw_button(button(l, picker_button::revert), button_edge, "Revert (R)");
    draw_button(button(l, picker_button::defaults), button_edge, "Default (D)");
    draw_button(button(l, picker_button::keep_4_3), button_edge,
                e.keep_4_3 ? "Keep 4:3 (K): on" : "Keep 4:3 (K): off");
    if (!l.sources_shown)
        return;
    char label[48];
    for (int d = 0; d < display_count; d++) {
        const auto which = static_cast<picker_button>(static_cast<int>(picker_button::source_pfd) + d);
        snprintf(label, sizeof(label), "%s: %s%s", display_short_name(d),
                 picture_source_name(e.places[static_cast<size_t>(d)].source), d == e.selected ? " (A)" : "");
        draw_button(button(l, which), display_colours[d], label);
    }
}

} // namespace

void picker_draw(const picker_layout &layout, const picture_place &place, panel_size panel,
                 const picker_edit &edit, const picker_preview &preview)
{
    if (!preview_draw(preview, place, panel)) {
        plain_state();
        fill(placeholder, static_cast<float>(place.boxel_x(0)), static_cast<float>(place.boxel_y(0)),
             static_cast<float>(place.boxel_x(panel.width)), static_cast<float>(place.boxel_y(panel.height)));
    }
    // The selected rectangle last, over the others.
    for (int d = 0; d < display_count; d++)
        if (d != edit.selected)
            draw_place(place, edit.places[static_cast<size_t>(d)], d, false);
    draw_place(place, edit.places[static_cast<size_t>(edit.selected)], edit.selected, true);

    draw_buttons(layout, edit);
    if (!edit.message.empty())
        write(edit.message_is_error ? error_text : saved_text, layout.text_left, layout.status_baseline,
              edit.message.c_str());
    write(text, layout.text_left, layout.help_baseline, help);
}
