#ifndef _XPLMDataAccess_h_
#define _XPLMDataAccess_h_

/* Datarefs: named values the simulator publishes. */

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void *XPLMDataRef;

XPLM_API XPLMDataRef XPLMFindDataRef(const char *inDataRefName);
XPLM_API int XPLMGetDatai(XPLMDataRef inDataRef);
/* Up to inMax values from inOffset on into outValues; with outValues null, the
   array's length. Returns how many were copied. */
XPLM_API int XPLMGetDatavi(XPLMDataRef inDataRef, int *outValues, int inOffset, int inMax);

#ifdef __cplusplus
}
#endif

#endif
