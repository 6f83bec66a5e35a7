#include "windows/monitor_assignment.h"

#include <acfutils/log.h>

#include "windows/monitors.h"
#include "windows/popup.h"

namespace {

void assign(popup &pup, int monitor, const char *name)
{
    const popup_keys &k = *pup.keys;
    if (monitor < 0 || k.popup_at_start->get() < 0)
        return;
    logMsg("KYV: Setting Monitor %d to %s", monitor, name);
    k.popup_at_start->set(2);
    k.monitor_start->set(monitor);
}

// A display never opened has no window to move; it opens on its new monitor.
void move_to_monitor(popup &pup, const char *name)
{
    if (pup.win == nullptr)
        return;
    const int monitor = pup.keys->monitor_start->get();
    logMsg("Checking Monitors to Position %s at %d", name, monitor);
    if (!monitor_present(monitor))
        return;
    logMsg("Setting %s Position", name);
    XPLMSetWindowPositioningMode(pup.win, xplm_WindowFullScreenOnMonitor, monitor);
}

} // namespace

void assign_monitors()
{
    const monitor_pick pick = pick_display_monitors();
    assign(pfd_popup, pick.pfd, "PFD");
    assign(mfd_popup, pick.mfd, "MFD");
}

void swap_screens()
{
    logMsg("Attempting KYV Screen Swap");
    const popup_keys &pfd = *pfd_popup.keys;
    const popup_keys &mfd = *mfd_popup.keys;
    if (pfd.popup_at_start->get() != 2 || mfd.popup_at_start->get() != 2) {
        logMsg("Unable to swap monitors! Windows do not exist!!");
        return;
    }
    const int pfd_monitor = pfd.monitor_start->get();
    const int mfd_monitor = mfd.monitor_start->get();
    pfd.monitor_start->set(mfd_monitor);
    mfd.monitor_start->set(pfd_monitor);
    move_to_monitor(pfd_popup, "PFD");
    move_to_monitor(mfd_popup, "MFD");
}
