#ifndef _XPLMProcessing_h_
#define _XPLMProcessing_h_

/* Flight-loop callbacks. */

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef float (*XPLMFlightLoop_f)(float inElapsedSinceLastCall, float inElapsedTimeSinceLastFlightLoop,
                                  int inCounter, void *inRefcon);

XPLM_API void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f inFlightLoop, float inInterval,
                                             void *inRefcon);
XPLM_API void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f inFlightLoop, void *inRefcon);

#ifdef __cplusplus
}
#endif

#endif
