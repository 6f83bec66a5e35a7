#include "pictures/popup_capture.h"

#include <string>

#include "XPLMDataAccess.h"

#include "pictures/device_capture.h"
#include "pictures/display_places.h"
#include "lifecycle/perf_clock.h"
#include "windows/popupSystem.h"
#include "pictures/scr_cap.h"

namespace {

// Found when the pass is registered, not per frame.
XPLMDataRef panel_render_type = nullptr;
// The panel's bounds, left, bottom, right, top: valid only in panel passes.
XPLMDataRef panel_total[4] = {};

panel_size panel_now()
{
    int v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; i++)
        v[i] = panel_total[i] != nullptr ? XPLMGetDatai(panel_total[i]) : 0;
    return {v[2] - v[0], v[3] - v[1]};
}

bool window_shown(const popup *pup)
{
    return pup->win != nullptr && XPLMGetWindowIsVisible(pup->win) != 0;
}

} // namespace

void popup_capture_start()
{
    panel_render_type = XPLMFindDataRef("sim/graphics/view/panel_render_type");
    const char *const bounds[4] = {"l", "b", "r", "t"};
    for (int i = 0; i < 4; i++)
        panel_total[i] =
            XPLMFindDataRef((std::string("sim/graphics/view/panel_total_pnl_") + bounds[i]).c_str());
}

int popup_capture_cb(XPLMDrawingPhase, int, void *)
{
    // Every pass tells the panel's size; the places wait for it.
    if (!popup_list.empty())
        places_panel_pass(panel_now());
    // Only this pass has the panel with the displays bound.
    if (panel_render_type == nullptr || XPLMGetDatai(panel_render_type) != 2)
        return 1;

    const uint64_t now_us = perf_now_us();
    for (popup *pup : popup_list) {
        const bool visible = window_shown(pup);
        if (!visible)
            popup_finish_renderer(pup);
        // A display keeps a copy only of the source it shows, and only while shown.
        const bool from_device = device_capture_active(pup);
        if (!visible || !from_device)
            device_capture_release(pup);
        if (!pup->use_capture || pup->regions == nullptr)
            continue;
        for (capture_region *r = pup->regions; !region_is_end(*r); r++)
            scr_cap_update(r, visible && !from_device, now_us);
    }
    return 1;
}
