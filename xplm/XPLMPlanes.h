#ifndef _XPLMPlanes_h_
#define _XPLMPlanes_h_

/* The aircraft the simulator flies. */

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Aircraft 0 is the user's. The file name buffer takes at least 256 bytes,
   the path (the .acf file's, in full) at least 512. */
XPLM_API void XPLMGetNthAircraftModel(int inIndex, char *outFileName, char *outPath);

#ifdef __cplusplus
}
#endif

#endif
