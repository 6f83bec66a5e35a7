#include "core/host_text.h"

#include "core/host_state.h"
#include "render/bitmap_font.h"
#include "render/text.h"

namespace simhost::detail {

int font_char_width()
{
    return bitmap_font::cell_width;
}

int font_char_height()
{
    return bitmap_font::cell_height;
}

int string_width(int n)
{
    return n > 0 ? bitmap_font::width(static_cast<size_t>(n)) : 0;
}

void draw_string(host_state &h, const float rgb[3], int x, int y, const std::string &text, int wrap_width)
{
    if (h.gl_ready)
        detail::draw_text(h.graphics, rgb, x, y, text, wrap_width);
}

} // namespace simhost::detail
