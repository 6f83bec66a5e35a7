// XPLMDisplay: draw callbacks, run by the host's frame loop; windows, monitors,
// the mouse and the screen are not implemented yet.

#include "XPLMDisplay.h"

#include "host_state.h"

using simhost::detail::host_state;
using simhost::detail::unexpected_call;
using simhost::detail::with_host;

namespace {

void zero(int *a, int *b = nullptr, int *c = nullptr, int *d = nullptr)
{
    for (int *p : {a, b, c, d}) {
        if (p != nullptr)
            *p = 0;
    }
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

XPLMWindowID XPLMCreateWindowEx(XPLMCreateWindow_t *)
{
    unexpected_call("XPLMCreateWindowEx");
    return nullptr;
}

void XPLMDestroyWindow(XPLMWindowID)
{
    unexpected_call("XPLMDestroyWindow");
}

void XPLMGetScreenSize(int *outWidth, int *outHeight)
{
    zero(outWidth, outHeight);
    unexpected_call("XPLMGetScreenSize");
}

void XPLMGetScreenBoundsGlobal(int *outLeft, int *outTop, int *outRight, int *outBottom)
{
    zero(outLeft, outTop, outRight, outBottom);
    unexpected_call("XPLMGetScreenBoundsGlobal");
}

void XPLMGetAllMonitorBoundsGlobal(XPLMReceiveMonitorBoundsGlobal_f, void *)
{
    unexpected_call("XPLMGetAllMonitorBoundsGlobal");
}

void XPLMGetMouseLocationGlobal(int *outX, int *outY)
{
    zero(outX, outY);
    unexpected_call("XPLMGetMouseLocationGlobal");
}

void XPLMGetWindowGeometry(XPLMWindowID, int *outLeft, int *outTop, int *outRight, int *outBottom)
{
    zero(outLeft, outTop, outRight, outBottom);
    unexpected_call("XPLMGetWindowGeometry");
}

void XPLMSetWindowGeometry(XPLMWindowID, int, int, int, int)
{
    unexpected_call("XPLMSetWindowGeometry");
}

void XPLMGetWindowGeometryOS(XPLMWindowID, int *outLeft, int *outTop, int *outRight, int *outBottom)
{
    zero(outLeft, outTop, outRight, outBottom);
    unexpected_call("XPLMGetWindowGeometryOS");
}

void XPLMSetWindowGeometryOS(XPLMWindowID, int, int, int, int)
{
    unexpected_call("XPLMSetWindowGeometryOS");
}

int XPLMGetWindowIsVisible(XPLMWindowID)
{
    unexpected_call("XPLMGetWindowIsVisible");
    return 0;
}

void XPLMSetWindowIsVisible(XPLMWindowID, int)
{
    unexpected_call("XPLMSetWindowIsVisible");
}

int XPLMWindowIsPoppedOut(XPLMWindowID)
{
    unexpected_call("XPLMWindowIsPoppedOut");
    return 0;
}

int XPLMWindowIsInVR(XPLMWindowID)
{
    unexpected_call("XPLMWindowIsInVR");
    return 0;
}

void XPLMSetWindowPositioningMode(XPLMWindowID, XPLMWindowPositioningMode, int)
{
    unexpected_call("XPLMSetWindowPositioningMode");
}

void XPLMSetWindowTitle(XPLMWindowID, const char *)
{
    unexpected_call("XPLMSetWindowTitle");
}

void XPLMSetWindowResizingLimits(XPLMWindowID, int, int, int, int)
{
    unexpected_call("XPLMSetWindowResizingLimits");
}
