#include "pictures/picture_watch.h"

#include <algorithm>

#include "XPLMProcessing.h"

#include <acfutils/log.h>

#include "pictures/device_capture.h"
#include "windows/popup.h"

namespace {

// The last capture of the source the display shows; 0 while it holds no picture.
uint64_t picture_stamp(const popup *pup)
{
    if (device_capture_active(pup)) {
        const capture_region &r = pup->device.picture;
        return r.tex != 0 ? r.last_capture_us : 0;
    }
    uint64_t stamp = 0;
    for (const capture_region *r = pup->regions; r != nullptr && !region_is_end(*r); r++)
        if (r->tex != 0)
            stamp = std::max(stamp, r->last_capture_us);
    return stamp;
}

void log_no_picture(const popup *pup)
{
    const device_feed &f = pup->device;
    if (device_capture_active(pup)) {
        logMsg("%s Picture: none for %.0f seconds; the %s may not be drawn in this view, may have no "
               "power, or the aircraft draws nothing on it",
               f.short_name, no_picture_after_s, f.device_name);
    } else if (pup->regions != nullptr && !region_is_end(pup->regions[0])) {
        logMsg("%s Picture: none for %.0f seconds; the view may have no lit panel pass (a 2-D panel "
               "view, or none drawn yet), or the aircraft draws no G1000 at panel (%.0f, %.0f)",
               f.short_name, no_picture_after_s, pup->regions[0].src_x, pup->regions[0].src_y);
    }
}

} // namespace

bool picture_watch_drawn(picture_watch &w, int cycle, double now_s, uint64_t stamp)
{
    if (w.last_cycle < 0 || cycle != w.last_cycle + 1)
        w.shown_since = now_s;
    w.last_cycle = cycle;
    if (stamp != 0 && stamp != w.seen_stamp) {
        w.seen_stamp = stamp;
        w.last_picture = now_s;
        w.reported = false;
        return false;
    }
    if (w.reported || now_s - std::max(w.shown_since, w.last_picture) < no_picture_after_s)
        return false;
    w.reported = true;
    return true;
}

void popup_watch_picture(popup *pup)
{
    if (!pup->use_capture)
        return;
    if (picture_watch_drawn(pup->watch, XPLMGetCycleNumber(), XPLMGetElapsedTime(), picture_stamp(pup)))
        log_no_picture(pup);
}
