#include "pictures/popup_capture.h"

#include "XPLMDataAccess.h"

#include "pictures/device_capture.h"
#include "pictures/display_places.h"
#include "pictures/panel_bounds.h"
#include "lifecycle/perf_clock.h"
#include "windows/popupSystem.h"
#include "pictures/scr_cap.h"
#include "remote/popup_feed.h"

namespace {

// Found when the pass is registered, not per frame.
XPLMDataRef panel_render_type = nullptr;
// The panel's size, for the displays' places.
panel_bounds panel;

bool window_shown(const popup *pup)
{
    return pup->win != nullptr && XPLMGetWindowIsVisible(pup->win) != 0;
}

} // namespace

void popup_capture_start()
{
    panel_render_type = XPLMFindDataRef("sim/graphics/view/panel_render_type");
    panel = panel_bounds_find();
}

int popup_capture_cb(XPLMDrawingPhase, int, void *)
{
    // Every pass tells the panel's size; the places wait for it.
    if (!popup_list.empty())
        places_panel_pass(panel_bounds_read(panel));
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
    popup_feed_panel_pass(now_us);
    return 1;
}
