// XPLMDisplay: draw callbacks, modern windows, monitors, the mouse and the
// screen, as the simulator documents them.

#include "XPLMDisplay.h"

#include "api/with_host.h"

#include <cstdio>

using simhost::rect;
using simhost::detail::host_state;
using simhost::detail::window;
using simhost::detail::with_host;

namespace {

void put(int *out, int value)
{
    if (out != nullptr)
        *out = value;
}

void put_rect(const rect &r, int *left, int *top, int *right, int *bottom)
{
    put(left, r.left);
    put(top, r.top);
    put(right, r.right);
    put(bottom, r.bottom);
}

// The window behind a handle, or null (noted) for one the plugin should not hold.
window *live_window(host_state &h, const char *call, XPLMWindowID id)
{
    window *w = h.wins.get(id);
    if (w == nullptr)
        h.log.unexpected(call, id == nullptr ? "null window" : "unknown or destroyed window");
    return w;
}

bool valid_rect(host_state &h, const char *call, const rect &r)
{
    if (!r.empty())
        return true;
    char detail[128];
    snprintf(detail, sizeof(detail), "empty rectangle left %d top %d right %d bottom %d, ignored", r.left,
             r.top, r.right, r.bottom);
    h.log.unexpected(call, detail);
    return false;
}

// Calls the receiver once per monitor, synchronously, before returning.
template <typename Receiver>
void report_monitors(const char *call, Receiver receiver, void *refcon, bool global)
{
    with_host(call, [=](host_state &h) {
        if (receiver == nullptr) {
            h.log.unexpected(call, "null receiver");
            return;
        }
        // A copy: the receiver may do anything, and the desk must not move under us.
        std::vector<simhost::indexed_monitor> monitors;
        if (global) {
            monitors = h.desk.global_monitors();
        } else {
            const std::vector<rect> &os = h.desk.os_monitors();
            for (size_t i = 0; i < os.size(); i++)
                monitors.push_back(simhost::indexed_monitor{static_cast<int>(i), os[i]});
        }
        for (const simhost::indexed_monitor &m : monitors)
            receiver(m.index, m.bounds.left, m.bounds.top, m.bounds.right, m.bounds.bottom, refcon);
    });
}

} // namespace

int XPLMRegisterDrawCallback(XPLMDrawCallback_f inCallback, XPLMDrawingPhase inPhase, int inWantsBefore,
                             void *inRefcon)
{
    return with_host("XPLMRegisterDrawCallback", 0, [=](host_state &h) {
        return h.draws.add(inCallback, inPhase, inWantsBefore, inRefcon) ? 1 : 0;
    });
}

int XPLMUnregisterDrawCallback(XPLMDrawCallback_f inCallback, XPLMDrawingPhase inPhase, int inWantsBefore,
                               void *inRefcon)
{
    return with_host("XPLMUnregisterDrawCallback", 0, [=](host_state &h) {
        return h.draws.remove(inCallback, inPhase, inWantsBefore, inRefcon) ? 1 : 0;
    });
}

XPLMWindowID XPLMCreateWindowEx(XPLMCreateWindow_t *inParams)
{
    return with_host("XPLMCreateWindowEx", static_cast<XPLMWindowID>(nullptr), [=](host_state &h) {
        window *w = h.wins.create(inParams);
        if (w == nullptr) {
            char detail[64];
            snprintf(detail, sizeof(detail), "structSize %d", inParams != nullptr ? inParams->structSize : 0);
            h.log.unexpected("XPLMCreateWindowEx", inParams == nullptr ? "null parameters" : detail);
        }
        return static_cast<XPLMWindowID>(w);
    });
}

void XPLMDestroyWindow(XPLMWindowID inWindowID)
{
    with_host("XPLMDestroyWindow", [=](host_state &h) {
        // "Keyboard focus is removed from the window before destroying it."
        if (window *w = h.wins.get(inWindowID))
            h.keys.release(*w, h.callbacks_live());
        if (!h.wins.destroy(inWindowID)) {
            h.log.unexpected("XPLMDestroyWindow", "unknown or destroyed window");
            return;
        }
        h.pointer.forget(inWindowID);
    });
}

void XPLMGetScreenSize(int *outWidth, int *outHeight)
{
    put(outWidth, 0);
    put(outHeight, 0);
    with_host("XPLMGetScreenSize", [=](host_state &h) {
        put(outWidth, h.desk.main().width());
        put(outHeight, h.desk.main().height());
    });
}

void XPLMGetScreenBoundsGlobal(int *outLeft, int *outTop, int *outRight, int *outBottom)
{
    put_rect(rect{}, outLeft, outTop, outRight, outBottom);
    with_host("XPLMGetScreenBoundsGlobal",
              [=](host_state &h) { put_rect(h.desk.bounds(), outLeft, outTop, outRight, outBottom); });
}

// Only the monitors the simulator runs full screen on, by their operating-
// system indices, in boxels: none for a simulator in a window.
void XPLMGetAllMonitorBoundsGlobal(XPLMReceiveMonitorBoundsGlobal_f inMonitorBoundsCallback, void *inRefcon)
{
    report_monitors("XPLMGetAllMonitorBoundsGlobal", inMonitorBoundsCallback, inRefcon, true);
}

// Every monitor of the operating system, in its pixels.
void XPLMGetAllMonitorBoundsOS(XPLMReceiveMonitorBoundsOS_f inMonitorBoundsCallback, void *inRefcon)
{
    report_monitors("XPLMGetAllMonitorBoundsOS", inMonitorBoundsCallback, inRefcon, false);
}

void XPLMGetMouseLocationGlobal(int *outX, int *outY)
{
    put(outX, 0);
    put(outY, 0);
    with_host("XPLMGetMouseLocationGlobal", [=](host_state &h) {
        put(outX, h.pointer.x());
        put(outY, h.pointer.y());
    });
}

void XPLMGetWindowGeometry(XPLMWindowID inWindowID, int *outLeft, int *outTop, int *outRight, int *outBottom)
{
    put_rect(rect{}, outLeft, outTop, outRight, outBottom);
    with_host("XPLMGetWindowGeometry", [=](host_state &h) {
        if (window *w = live_window(h, "XPLMGetWindowGeometry", inWindowID))
            put_rect(h.wins.reported(*w), outLeft, outTop, outRight, outBottom);
    });
}

void XPLMSetWindowGeometry(XPLMWindowID inWindowID, int inLeft, int inTop, int inRight, int inBottom)
{
    with_host("XPLMSetWindowGeometry", [=](host_state &h) {
        window *w = live_window(h, "XPLMSetWindowGeometry", inWindowID);
        const rect r{inLeft, inTop, inRight, inBottom};
        if (w != nullptr && valid_rect(h, "XPLMSetWindowGeometry", r) && !h.wins.set_geometry(*w, r))
            h.log.unexpected("XPLMSetWindowGeometry",
                             "window popped out; its place is set with XPLMSetWindowGeometryOS; ignored");
    });
}

void XPLMGetWindowGeometryOS(XPLMWindowID inWindowID, int *outLeft, int *outTop, int *outRight,
                             int *outBottom)
{
    put_rect(rect{}, outLeft, outTop, outRight, outBottom);
    with_host("XPLMGetWindowGeometryOS", [=](host_state &h) {
        window *w = live_window(h, "XPLMGetWindowGeometryOS", inWindowID);
        if (w == nullptr)
            return;
        if (!w->popped_out) {
            h.log.unexpected("XPLMGetWindowGeometryOS", "window not popped out; nothing reported");
            return;
        }
        put_rect(w->os, outLeft, outTop, outRight, outBottom);
    });
}

void XPLMSetWindowGeometryOS(XPLMWindowID inWindowID, int inLeft, int inTop, int inRight, int inBottom)
{
    with_host("XPLMSetWindowGeometryOS", [=](host_state &h) {
        window *w = live_window(h, "XPLMSetWindowGeometryOS", inWindowID);
        const rect r{inLeft, inTop, inRight, inBottom};
        if (w == nullptr || !valid_rect(h, "XPLMSetWindowGeometryOS", r))
            return;
        if (!h.wins.set_os_geometry(*w, r))
            h.log.unexpected("XPLMSetWindowGeometryOS", "window not popped out; ignored");
    });
}

int XPLMGetWindowIsVisible(XPLMWindowID inWindowID)
{
    return with_host("XPLMGetWindowIsVisible", 0, [=](host_state &h) {
        window *w = live_window(h, "XPLMGetWindowIsVisible", inWindowID);
        return w != nullptr && w->visible ? 1 : 0;
    });
}

void XPLMSetWindowIsVisible(XPLMWindowID inWindowID, int inIsVisible)
{
    with_host("XPLMSetWindowIsVisible", [=](host_state &h) {
        window *w = live_window(h, "XPLMSetWindowIsVisible", inWindowID);
        if (w == nullptr)
            return;
        h.wins.show(*w, inIsVisible != 0);
        if (inIsVisible == 0)
            h.keys.release(*w, h.callbacks_live());
    });
}

int XPLMWindowIsPoppedOut(XPLMWindowID inWindowID)
{
    return with_host("XPLMWindowIsPoppedOut", 0, [=](host_state &h) {
        window *w = live_window(h, "XPLMWindowIsPoppedOut", inWindowID);
        return w != nullptr && w->popped_out ? 1 : 0;
    });
}

int XPLMWindowIsInVR(XPLMWindowID inWindowID)
{
    return with_host("XPLMWindowIsInVR", 0, [=](host_state &h) {
        window *w = live_window(h, "XPLMWindowIsInVR", inWindowID);
        return w != nullptr && w->in_vr ? 1 : 0;
    });
}

void XPLMSetWindowPositioningMode(XPLMWindowID inWindowID, XPLMWindowPositioningMode inPositioningMode,
                                  int inMonitorIndex)
{
    with_host("XPLMSetWindowPositioningMode", [=](host_state &h) {
        window *w = live_window(h, "XPLMSetWindowPositioningMode", inWindowID);
        if (w == nullptr)
            return;
        std::string why, note;
        if (!h.wins.set_mode(*w, inPositioningMode, inMonitorIndex, h.vr_enabled(), why, note))
            h.log.unexpected("XPLMSetWindowPositioningMode", (why + "; ignored").c_str());
        else if (!note.empty())
            h.log.unexpected("XPLMSetWindowPositioningMode", note.c_str());
    });
}

void XPLMSetWindowTitle(XPLMWindowID inWindowID, const char *inWindowTitle)
{
    with_host("XPLMSetWindowTitle", [=](host_state &h) {
        if (window *w = live_window(h, "XPLMSetWindowTitle", inWindowID))
            w->title = inWindowTitle != nullptr ? inWindowTitle : "";
    });
}

void XPLMSetWindowResizingLimits(XPLMWindowID inWindowID, int inMinWidthBoxels, int inMinHeightBoxels,
                                 int inMaxWidthBoxels, int inMaxHeightBoxels)
{
    with_host("XPLMSetWindowResizingLimits", [=](host_state &h) {
        window *w = live_window(h, "XPLMSetWindowResizingLimits", inWindowID);
        if (w == nullptr)
            return;
        if (!h.wins.set_resizing_limits(*w, inMinWidthBoxels, inMinHeightBoxels, inMaxWidthBoxels,
                                        inMaxHeightBoxels))
            h.log.unexpected("XPLMSetWindowResizingLimits", "limits out of order; ignored");
    });
}

void XPLMTakeKeyboardFocus(XPLMWindowID inWindowID)
{
    with_host("XPLMTakeKeyboardFocus", [=](host_state &h) {
        window *w = nullptr;
        if (inWindowID != nullptr) {
            w = live_window(h, "XPLMTakeKeyboardFocus", inWindowID);
            if (w == nullptr)
                return;
            // A hidden window loses focus, so it cannot be given it.
            if (!w->visible) {
                h.log.unexpected("XPLMTakeKeyboardFocus", "window hidden; focus unchanged");
                return;
            }
        }
        h.keys.take(w, h.callbacks_live());
    });
}

int XPLMHasKeyboardFocus(XPLMWindowID inWindowID)
{
    return with_host("XPLMHasKeyboardFocus", 0, [=](host_state &h) {
        if (inWindowID == nullptr)
            return h.keys.focus() == nullptr ? 1 : 0;
        window *w = live_window(h, "XPLMHasKeyboardFocus", inWindowID);
        return w != nullptr && h.keys.focus() == w ? 1 : 0;
    });
}

void XPLMBringWindowToFront(XPLMWindowID inWindowID)
{
    with_host("XPLMBringWindowToFront", [=](host_state &h) {
        if (window *w = live_window(h, "XPLMBringWindowToFront", inWindowID))
            h.wins.raise(*w);
    });
}
