// XPLMProcessing: the simulator's clock and frame counter, and flight-loop
// callbacks, run by the host's frame loop.

#include "XPLMProcessing.h"

#include "api/with_host.h"

using simhost::detail::host_state;
using simhost::detail::with_host;

// The host's clock is its simulated time, so a run at any speed sees the same seconds.
float XPLMGetElapsedTime(void)
{
    return with_host("XPLMGetElapsedTime", 0.0f, [](host_state &h) { return static_cast<float>(h.time); });
}

int XPLMGetCycleNumber(void)
{
    return with_host("XPLMGetCycleNumber", 0, [](host_state &h) { return static_cast<int>(h.frames); });
}

void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f inFlightLoop, float inInterval, void *inRefcon)
{
    with_host("XPLMRegisterFlightLoopCallback",
              [=](host_state &h) { h.loops.add(inFlightLoop, inInterval, inRefcon, h.time, h.frames); });
}

void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f inFlightLoop, void *inRefcon)
{
    // Unregistering what is not registered is harmless, as in the simulator.
    with_host("XPLMUnregisterFlightLoopCallback",
              [=](host_state &h) { h.loops.remove(inFlightLoop, inRefcon); });
}
