#include "world/window_decoration.h"

#include "world/windows.h"

namespace simhost::detail {

bool has_title_bar(const window &w)
{
    return w.live && !w.popped_out && !w.in_vr &&
           w.params.decorateAsFloatingWindow == xplm_WindowDecorationRoundRectangle;
}

window_decoration decoration_of(const window &w)
{
    if (!has_title_bar(w))
        return {};
    const rect &g = w.geometry;
    const int inset = (title_bar_height - close_box_size) / 2;
    window_decoration d;
    d.title_bar = rect{g.left, g.top + title_bar_height, g.right, g.top};
    d.close_box = rect{g.right - inset - close_box_size, g.top + inset + close_box_size, g.right - inset,
                       g.top + inset};
    return d;
}

bool stops_clicks(const window &w)
{
    return w.params.decorateAsFloatingWindow != xplm_WindowDecorationNone;
}

} // namespace simhost::detail
