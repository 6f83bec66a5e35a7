#include "api/xplm_exports.h"

#include "XPLMDataAccess.h"
#include "XPLMDisplay.h"
#include "XPLMGraphics.h"
#include "XPLMMenus.h"
#include "XPLMPlanes.h"
#include "XPLMPlugin.h"
#include "XPLMProcessing.h"
#include "XPLMUtilities.h"

namespace simhost {

namespace {

#define XPLM_FUNCTION(f)                                                                                     \
    {                                                                                                        \
#f, reinterpret_cast < void (*)()>(&f)                                                               \
    }
#define XPLM_FUNCTION_SINCE(f, version)                                                                      \
    {                                                                                                        \
#f, reinterpret_cast < void (*)()>(&f), version                                                      \
    }

const xplm_function table[] = {
    XPLM_FUNCTION(XPLMGetMyID), XPLM_FUNCTION(XPLMFindPluginBySignature), XPLM_FUNCTION(XPLMGetPluginInfo),
    XPLM_FUNCTION(XPLMEnableFeature), XPLM_FUNCTION(XPLMDebugString), XPLM_FUNCTION(XPLMFindCommand),
    XPLM_FUNCTION(XPLMCommandBegin), XPLM_FUNCTION(XPLMCommandEnd), XPLM_FUNCTION(XPLMCommandOnce),
    XPLM_FUNCTION(XPLMCreateCommand), XPLM_FUNCTION(XPLMRegisterCommandHandler),
    XPLM_FUNCTION(XPLMUnregisterCommandHandler), XPLM_FUNCTION(XPLMGetElapsedTime),
    XPLM_FUNCTION(XPLMGetCycleNumber), XPLM_FUNCTION(XPLMRegisterFlightLoopCallback),
    XPLM_FUNCTION(XPLMUnregisterFlightLoopCallback), XPLM_FUNCTION(XPLMRegisterDrawCallback),
    XPLM_FUNCTION(XPLMUnregisterDrawCallback), XPLM_FUNCTION(XPLMCreateWindowEx),
    XPLM_FUNCTION(XPLMDestroyWindow), XPLM_FUNCTION(XPLMGetScreenSize),
    XPLM_FUNCTION(XPLMGetScreenBoundsGlobal), XPLM_FUNCTION(XPLMGetAllMonitorBoundsGlobal),
    XPLM_FUNCTION(XPLMGetAllMonitorBoundsOS), XPLM_FUNCTION(XPLMGetMouseLocationGlobal),
    XPLM_FUNCTION(XPLMGetWindowGeometry), XPLM_FUNCTION(XPLMSetWindowGeometry),
    XPLM_FUNCTION(XPLMGetWindowGeometryOS), XPLM_FUNCTION(XPLMSetWindowGeometryOS),
    XPLM_FUNCTION(XPLMGetWindowIsVisible), XPLM_FUNCTION(XPLMSetWindowIsVisible),
    XPLM_FUNCTION(XPLMWindowIsPoppedOut), XPLM_FUNCTION(XPLMWindowIsInVR),
    XPLM_FUNCTION(XPLMSetWindowPositioningMode), XPLM_FUNCTION(XPLMSetWindowTitle),
    XPLM_FUNCTION(XPLMSetWindowResizingLimits), XPLM_FUNCTION(XPLMFindPluginsMenu),
    XPLM_FUNCTION(XPLMCreateMenu), XPLM_FUNCTION(XPLMDestroyMenu), XPLM_FUNCTION(XPLMAppendMenuItem),
    XPLM_FUNCTION(XPLMAppendMenuItemWithCommand), XPLM_FUNCTION(XPLMRemoveMenuItem),
    XPLM_FUNCTION(XPLMFindDataRef), XPLM_FUNCTION(XPLMGetDatai), XPLM_FUNCTION(XPLMSetGraphicsState),
    XPLM_FUNCTION(XPLMBindTexture2d), XPLM_FUNCTION(XPLMGenerateTextureNumbers),
    // --- versions, symbols by name, integer arrays ---
    XPLM_FUNCTION(XPLMGetVersions), XPLM_FUNCTION(XPLMFindSymbol), XPLM_FUNCTION(XPLMGetDatavi),
    // --- keyboard focus and text ---
    XPLM_FUNCTION(XPLMTakeKeyboardFocus), XPLM_FUNCTION(XPLMHasKeyboardFocus),
    XPLM_FUNCTION(XPLMBringWindowToFront), XPLM_FUNCTION(XPLMDrawString),
    XPLM_FUNCTION(XPLMGetFontDimensions), XPLM_FUNCTION(XPLMMeasureString),
    // --- the user's aircraft ---
    XPLM_FUNCTION(XPLMGetNthAircraftModel),
    // --- the avionics functions, X-Plane 12 on ---
    XPLM_FUNCTION_SINCE(XPLMRegisterAvionicsCallbacksEx, 400),
    XPLM_FUNCTION_SINCE(XPLMGetAvionicsHandle, 400),
    XPLM_FUNCTION_SINCE(XPLMUnregisterAvionicsCallbacks, 400), XPLM_FUNCTION_SINCE(XPLMIsAvionicsBound, 410),
    XPLM_FUNCTION_SINCE(XPLMGetAvionicsBusVoltsRatio, 410),
    XPLM_FUNCTION_SINCE(XPLMGetAvionicsBrightnessRheo, 410),
    // --- end ---
};

#undef XPLM_FUNCTION_SINCE
#undef XPLM_FUNCTION

} // namespace

const xplm_function *xplm_functions(size_t &count)
{
    count = sizeof(table) / sizeof(table[0]);
    return table;
}

} // namespace simhost
