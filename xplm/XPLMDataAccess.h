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

#ifdef __cplusplus
}
#endif

#endif
