#pragma once

// What the simulator draws of a decorated window itself, before the window
// draws: a solid backing under the client rectangle, and, inside the
// simulator, the title bar with the title and the close box above it.

#include "gl/graphics_cache.h"
#include "world/windows.h"

namespace simhost::detail {

// In the coordinates the window draws in; `client` is its rectangle there.
void draw_window_frame(graphics_cache &cache, const window &w, const rect &client);

} // namespace simhost::detail
