#pragma once

// Text in the host's bitmap font, drawn in the current GL coordinates (one
// unit a font pixel) as the simulator's own drawing is: the managed state it
// needs set through the simulator's cache, the unmanaged state untouched.

#include "gl/graphics_cache.h"

#include <string>

namespace simhost::detail {

// The first line's cell has its lower-left corner at (x, y); each further
// line lies a cell lower. `wrap_width` > 0 breaks the text at spaces to fit.
void draw_text(graphics_cache &cache, const float rgb[3], int x, int y, const std::string &text,
               int wrap_width = 0);

} // namespace simhost::detail
