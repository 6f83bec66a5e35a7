#ifndef _XPLMDisplay_h_
#define _XPLMDisplay_h_

/*
 * Drawing phases and callbacks, windows, monitors, the mouse and the screen.
 * Each declaration sits under the interface version that brought it in.
 */

#include "XPLMDefs.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
#if defined(XPLM302)
    xplm_Phase_Modern3D = 31,
#endif
    xplm_Phase_FirstCockpit = 35,
    xplm_Phase_Panel = 40,
    xplm_Phase_Gauges = 45,
    xplm_Phase_Window = 50,
    xplm_Phase_LastCockpit = 55
};
typedef int XPLMDrawingPhase;

typedef int (*XPLMDrawCallback_f)(XPLMDrawingPhase inPhase, int inIsBefore, void *inRefcon);

XPLM_API int XPLMRegisterDrawCallback(XPLMDrawCallback_f inCallback, XPLMDrawingPhase inPhase,
                                      int inWantsBefore, void *inRefcon);
XPLM_API int XPLMUnregisterDrawCallback(XPLMDrawCallback_f inCallback, XPLMDrawingPhase inPhase,
                                        int inWantsBefore, void *inRefcon);

#if defined(XPLM400)
/*
 * Cockpit devices: the simulator's own avionics screens, each rendered into a
 * framebuffer of its own. Callbacks run before and after the simulator draws
 * a device's screen, in texels with the origin at its bottom-left.
 */
enum { xplm_device_G1000_PFD_1 = 6, xplm_device_G1000_MFD = 7, xplm_device_G1000_PFD_2 = 8 };
typedef int XPLMDeviceID;

/* Before the simulator draws: 0 keeps it from drawing. After: ignored. */
typedef int (*XPLMAvionicsCallback_f)(XPLMDeviceID inDeviceID, int inIsBefore, void *inRefcon);

#if defined(XPLM410)
typedef int (*XPLMAvionicsMouse_f)(XPLMDeviceID inID, int x, int y, XPLMMouseStatus inMouse, void *inRefcon);
typedef int (*XPLMAvionicsMouseWheel_f)(XPLMDeviceID inID, int x, int y, int wheel, int clicks,
                                        void *inRefcon);
typedef XPLMCursorStatus (*XPLMAvionicsCursor_f)(XPLMDeviceID inID, int x, int y, void *inRefcon);
typedef int (*XPLMAvionicsKeyboard_f)(XPLMDeviceID inID, char inKey, XPLMKeyFlags inFlags, char inVirtualKey,
                                      void *inRefCon, int losingFocus);
#endif

typedef void *XPLMAvionicsID;

/* structSize tells the simulator which of the two layouts it was given. */
typedef struct {
    int structSize;
    XPLMDeviceID deviceId;
    XPLMAvionicsCallback_f drawCallbackBefore;
    XPLMAvionicsCallback_f drawCallbackAfter;
#if defined(XPLM410)
    XPLMAvionicsMouse_f bezelClickCallback;
    XPLMAvionicsMouse_f bezelRightClickCallback;
    XPLMAvionicsMouseWheel_f bezelScrollCallback;
    XPLMAvionicsCursor_f bezelCursorCallback;
    XPLMAvionicsMouse_f screenTouchCallback;
    XPLMAvionicsMouse_f screenRightTouchCallback;
    XPLMAvionicsMouseWheel_f screenScrollCallback;
    XPLMAvionicsCursor_f screenCursorCallback;
    XPLMAvionicsKeyboard_f keyboardCallback;
#endif
    void *refcon;
} XPLMCustomizeAvionics_t;

/* Null when the structure cannot be read (its structSize, its device). */
XPLM_API XPLMAvionicsID XPLMRegisterAvionicsCallbacksEx(XPLMCustomizeAvionics_t *inParams);
/* A handle to a device with no callbacks. */
XPLM_API XPLMAvionicsID XPLMGetAvionicsHandle(XPLMDeviceID inDeviceID);
/* Only for handles XPLMRegisterAvionicsCallbacksEx gave. */
XPLM_API void XPLMUnregisterAvionicsCallbacks(XPLMAvionicsID inAvionicsId);

#if defined(XPLM410)
/* 1 when the user's aircraft uses the device. */
XPLM_API int XPLMIsAvionicsBound(XPLMAvionicsID inHandle);
/* The device's bus voltage over its nominal voltage; -1 when it is not bound. */
XPLM_API float XPLMGetAvionicsBusVoltsRatio(XPLMAvionicsID inHandle);
/* The device's brightness knob, 0 to 1. */
XPLM_API float XPLMGetAvionicsBrightnessRheo(XPLMAvionicsID inHandle);
#endif
#endif

typedef void *XPLMWindowID;

typedef void (*XPLMDrawWindow_f)(XPLMWindowID inWindowID, void *inRefcon);
typedef void (*XPLMHandleKey_f)(XPLMWindowID inWindowID, char inKey, XPLMKeyFlags inFlags, char inVirtualKey,
                                void *inRefcon, int losingFocus);
typedef int (*XPLMHandleMouseClick_f)(XPLMWindowID inWindowID, int x, int y, XPLMMouseStatus inMouse,
                                      void *inRefcon);

#if defined(XPLM200)
typedef XPLMCursorStatus (*XPLMHandleCursor_f)(XPLMWindowID inWindowID, int x, int y, void *inRefcon);
typedef int (*XPLMHandleMouseWheel_f)(XPLMWindowID inWindowID, int x, int y, int wheel, int clicks,
                                      void *inRefcon);
#endif

#if defined(XPLM300)
enum {
    xplm_WindowLayerFlightOverlay = 0,
    xplm_WindowLayerFloatingWindows = 1,
    xplm_WindowLayerModal = 2,
    xplm_WindowLayerGrowlNotifications = 3
};
typedef int XPLMWindowLayer;
#endif

#if defined(XPLM301)
enum {
    xplm_WindowDecorationNone = 0,
    xplm_WindowDecorationRoundRectangle = 1,
    xplm_WindowDecorationSelfDecorated = 2,
    xplm_WindowDecorationSelfDecoratedResizable = 3
};
typedef int XPLMWindowDecoration;
#endif

#if defined(XPLM200)
typedef struct {
    int structSize;
    int left;
    int top;
    int right;
    int bottom;
    int visible;
    XPLMDrawWindow_f drawWindowFunc;
    XPLMHandleMouseClick_f handleMouseClickFunc;
    XPLMHandleKey_f handleKeyFunc;
    XPLMHandleCursor_f handleCursorFunc;
    XPLMHandleMouseWheel_f handleMouseWheelFunc;
    void *refcon;
#if defined(XPLM301)
    XPLMWindowDecoration decorateAsFloatingWindow;
#endif
#if defined(XPLM300)
    XPLMWindowLayer layer;
    XPLMHandleMouseClick_f handleRightClickFunc;
#endif
} XPLMCreateWindow_t;

#if defined(__cplusplus) && (defined(__LP64__) || defined(_WIN64)) && defined(XPLM300) && defined(XPLM301)
static_assert(sizeof(XPLMCreateWindow_t) == 88, "XPLMCreateWindow_t must match the simulator's layout");
#endif

XPLM_API XPLMWindowID XPLMCreateWindowEx(XPLMCreateWindow_t *inParams);
#endif

XPLM_API void XPLMDestroyWindow(XPLMWindowID inWindowID);
XPLM_API void XPLMGetScreenSize(int *outWidth, int *outHeight);
XPLM_API void XPLMGetWindowGeometry(XPLMWindowID inWindowID, int *outLeft, int *outTop, int *outRight,
                                    int *outBottom);
XPLM_API void XPLMSetWindowGeometry(XPLMWindowID inWindowID, int inLeft, int inTop, int inRight,
                                    int inBottom);
XPLM_API int XPLMGetWindowIsVisible(XPLMWindowID inWindowID);
XPLM_API void XPLMSetWindowIsVisible(XPLMWindowID inWindowID, int inIsVisible);
/* Keys go to this window until another takes them, or back to the simulator
   with a null window. */
XPLM_API void XPLMTakeKeyboardFocus(XPLMWindowID inWindowID);
#if defined(XPLM300)
XPLM_API int XPLMHasKeyboardFocus(XPLMWindowID inWindowID);
XPLM_API void XPLMBringWindowToFront(XPLMWindowID inWindowID);
#endif

#if defined(XPLM300)
typedef void (*XPLMReceiveMonitorBoundsGlobal_f)(int inMonitorIndex, int inLeftBx, int inTopBx, int inRightBx,
                                                 int inBottomBx, void *inRefcon);
typedef void (*XPLMReceiveMonitorBoundsOS_f)(int inMonitorIndex, int inLeftPx, int inTopPx, int inRightPx,
                                             int inBottomPx, void *inRefcon);

enum {
    xplm_WindowPositionFree = 0,
    xplm_WindowCenterOnMonitor = 1,
    xplm_WindowFullScreenOnMonitor = 2,
    xplm_WindowFullScreenOnAllMonitors = 3,
    xplm_WindowPopOut = 4,
#if defined(XPLM301)
    xplm_WindowVR = 5
#endif
};
typedef int XPLMWindowPositioningMode;

XPLM_API void XPLMGetScreenBoundsGlobal(int *outLeft, int *outTop, int *outRight, int *outBottom);
XPLM_API void XPLMGetAllMonitorBoundsGlobal(XPLMReceiveMonitorBoundsGlobal_f inMonitorBoundsCallback,
                                            void *inRefcon);
XPLM_API void XPLMGetAllMonitorBoundsOS(XPLMReceiveMonitorBoundsOS_f inMonitorBoundsCallback, void *inRefcon);
XPLM_API void XPLMGetMouseLocationGlobal(int *outX, int *outY);
XPLM_API void XPLMGetWindowGeometryOS(XPLMWindowID inWindowID, int *outLeft, int *outTop, int *outRight,
                                      int *outBottom);
XPLM_API void XPLMSetWindowGeometryOS(XPLMWindowID inWindowID, int inLeft, int inTop, int inRight,
                                      int inBottom);
XPLM_API int XPLMWindowIsPoppedOut(XPLMWindowID inWindowID);
XPLM_API void XPLMSetWindowPositioningMode(XPLMWindowID inWindowID,
                                           XPLMWindowPositioningMode inPositioningMode, int inMonitorIndex);
XPLM_API void XPLMSetWindowTitle(XPLMWindowID inWindowID, const char *inWindowTitle);
XPLM_API void XPLMSetWindowResizingLimits(XPLMWindowID inWindowID, int inMinWidthBoxels,
                                          int inMinHeightBoxels, int inMaxWidthBoxels, int inMaxHeightBoxels);
#endif

#if defined(XPLM301)
XPLM_API int XPLMWindowIsInVR(XPLMWindowID inWindowID);
#endif

#ifdef __cplusplus
}
#endif

#endif
