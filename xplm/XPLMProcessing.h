#ifndef _XPLMProcessing_h_
#define _XPLMProcessing_h_

/* Flight-loop callbacks. */

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef float (*XPLMFlightLoop_f)(float inElapsedSinceLastCall, float inElapsedTimeSinceLastFlightLoop,
                                  int inCounter, void *inRefcon);

/* Seconds since the simulator started, a wall timer that runs on while it is paused. */
XPLM_API float XPLMGetElapsedTime(void);
/* A counter from zero, one step per simulator cycle (video frame). */
XPLM_API int XPLMGetCycleNumber(void);
XPLM_API void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f inFlightLoop, float inInterval,
                                             void *inRefcon);
XPLM_API void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f inFlightLoop, void *inRefcon);

#ifdef __cplusplus
}
#endif

#endif
