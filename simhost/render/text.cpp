#include "render/text.h"

#include "render/bitmap_font.h"

#include "gl/gl_api.h"

namespace simhost::detail {

namespace {

void draw_glyph(const bitmap_font::glyph &g, int x, int y)
{
    for (int row = 0; row < bitmap_font::glyph_rows; row++) {
        const int bottom = y + bitmap_font::glyph_rows - 1 - row;
        for (int column = 0; column < bitmap_font::glyph_columns; column++) {
            if ((g[static_cast<size_t>(row)] & (1 << (bitmap_font::glyph_columns - 1 - column))) == 0)
                continue;
            glVertex2i(x + column, bottom);
            glVertex2i(x + column + 1, bottom);
            glVertex2i(x + column + 1, bottom + 1);
            glVertex2i(x + column, bottom + 1);
        }
    }
}

} // namespace

void draw_text(graphics_cache &cache, const float rgb[3], int x, int y, const std::string &text,
               int wrap_width)
{
    // Flat colour: no texture, lighting, fog, tests or blending to change it.
    cache.set_state(0, 0, 0, 0, 0, 0, 0);
    glColor3f(rgb[0], rgb[1], rgb[2]);
    glBegin(GL_QUADS);
    int line_y = y;
    for (const std::string &line : bitmap_font::wrap(text, wrap_width)) {
        int cell_x = x;
        for (char c : line) {
            draw_glyph(bitmap_font::glyph_of(c), cell_x, line_y);
            cell_x += bitmap_font::cell_width;
        }
        line_y -= bitmap_font::cell_height;
    }
    glEnd();
}

} // namespace simhost::detail
