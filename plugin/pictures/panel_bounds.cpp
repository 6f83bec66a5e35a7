#include "pictures/panel_bounds.h"

panel_bounds panel_bounds_find()
{
    static const char *const names[4] = {
        "sim/graphics/view/panel_total_pnl_l", "sim/graphics/view/panel_total_pnl_b",
        "sim/graphics/view/panel_total_pnl_r", "sim/graphics/view/panel_total_pnl_t"};
    panel_bounds b;
    for (int i = 0; i < 4; i++)
        b.total[i] = XPLMFindDataRef(names[i]);
    return b;
}

panel_size panel_bounds_read(const panel_bounds &b)
{
    int v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; i++) {
        if (b.total[i] == nullptr)
            return {0, 0};
        v[i] = XPLMGetDatai(b.total[i]);
    }
    const int w = v[2] - v[0], h = v[3] - v[1];
    return w > 0 && h > 0 ? panel_size{w, h} : panel_size{0, 0};
}
