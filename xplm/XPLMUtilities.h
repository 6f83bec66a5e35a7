#ifndef _XPLMUtilities_h_
#define _XPLMUtilities_h_

/* The simulator's log and its commands. */

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

XPLM_API void XPLMDebugString(const char *inString);

enum {
    xplm_Host_Unknown = 0,
    xplm_Host_XPlane = 1
};
typedef int XPLMHostApplicationID;

/* The simulator's version and the interface's, each at least three digits. */
XPLM_API void XPLMGetVersions(int *outXPlaneVersion, int *outXPLMVersion, XPLMHostApplicationID *outHostID);

#if defined(XPLM200)
enum {
    xplm_CommandBegin = 0,
    xplm_CommandContinue = 1,
    xplm_CommandEnd = 2
};
typedef int XPLMCommandPhase;

typedef void *XPLMCommandRef;

typedef int (*XPLMCommandCallback_f)(XPLMCommandRef inCommand, XPLMCommandPhase inPhase,
                                     void *inRefcon);

XPLM_API XPLMCommandRef XPLMFindCommand(const char *inName);
XPLM_API void XPLMCommandBegin(XPLMCommandRef inCommand);
XPLM_API void XPLMCommandEnd(XPLMCommandRef inCommand);
XPLM_API void XPLMCommandOnce(XPLMCommandRef inCommand);
XPLM_API XPLMCommandRef XPLMCreateCommand(const char *inName, const char *inDescription);
XPLM_API void XPLMRegisterCommandHandler(XPLMCommandRef inComand, XPLMCommandCallback_f inHandler,
                                         int inBefore, void *inRefcon);
XPLM_API void XPLMUnregisterCommandHandler(XPLMCommandRef inComand,
                                           XPLMCommandCallback_f inHandler, int inBefore,
                                           void *inRefcon);

/* A function of the interface by name, or null where this simulator has none. */
XPLM_API void *XPLMFindSymbol(const char *inString);
#endif

#ifdef __cplusplus
}
#endif

#endif
