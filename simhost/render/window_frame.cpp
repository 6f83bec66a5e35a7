#include "render/window_frame.h"

#include "render/bitmap_font.h"
#include "render/text.h"

#include "gl/gl_api.h"

namespace simhost::detail {

namespace {

void fill(const rect &r, float red, float green, float blue)
{
    glColor3f(red, green, blue);
    glBegin(GL_QUADS);
    glVertex2i(r.left, r.bottom);
    glVertex2i(r.right, r.bottom);
    glVertex2i(r.right, r.top);
    glVertex2i(r.left, r.top);
    glEnd();
}

void draw_close_box(const rect &box)
{
    fill(box, 0.6f, 0.15f, 0.15f);
    const int inset = 4;
    glColor3f(1, 1, 1);
    glBegin(GL_LINES);
    glVertex2i(box.left + inset, box.bottom + inset);
    glVertex2i(box.right - inset, box.top - inset);
    glVertex2i(box.left + inset, box.top - inset);
    glVertex2i(box.right - inset, box.bottom + inset);
    glEnd();
}

} // namespace

void draw_window_frame(graphics_cache &cache, const window &w, const rect &client)
{
    if (w.params.decorateAsFloatingWindow != xplm_WindowDecorationRoundRectangle)
        return;
    cache.set_state(0, 0, 0, 0, 0, 0, 0);
    fill(client, 0.12f, 0.18f, 0.28f);
    const window_decoration d = decoration_of(w);
    if (d.title_bar.empty())
        return;
    fill(d.title_bar, 0.05f, 0.08f, 0.14f);
    draw_close_box(d.close_box);
    // The title, cut short where it would run under the close box.
    const int margin = 6;
    const int room = (d.close_box.left - margin - (d.title_bar.left + margin)) / bitmap_font::cell_width;
    const std::string title = w.title.substr(0, static_cast<size_t>(room > 0 ? room : 0));
    const float colour[3] = {0.9f, 0.92f, 0.95f};
    draw_text(cache, colour, d.title_bar.left + margin,
              d.title_bar.bottom + (d.title_bar.height() - bitmap_font::cell_height) / 2, title);
}

} // namespace simhost::detail
