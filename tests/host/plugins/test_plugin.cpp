// A small plugin the host's tests drive: it logs each entry point and what it
// sees, and takes its results from datarefs the test sets.

#include "XPLMDataAccess.h"
#include "XPLMDisplay.h"
#include "XPLMGraphics.h"
#include "XPLMMenus.h"
#include "XPLMPlanes.h"
#include "XPLMPlugin.h"
#include "XPLMProcessing.h"
#include "XPLMUtilities.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

int flight_loops = 0;
int draws = 0;

void log(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void log(const char *fmt, ...)
{
    char buf[5000] = "test plugin: ";
    size_t n = strlen(buf);
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf + n, sizeof(buf) - n - 1, fmt, ap);
    va_end(ap);
    strcat(buf, "\n");
    XPLMDebugString(buf);
}

int setting(const char *name, int fallback)
{
    XPLMDataRef ref = XPLMFindDataRef(name);
    return ref != nullptr ? XPLMGetDatai(ref) : fallback;
}

float count_flight_loop(float, float, int, void *)
{
    flight_loops++;
    return -1;
}

int count_draw(XPLMDrawingPhase, int, void *)
{
    draws++;
    return 1;
}

// A command that shows and hides a window, and a menu item bound to it, for
// the scenario runner's tests.
XPLMCommandRef toggle_cmd = nullptr;
XPLMWindowID window = nullptr;

void draw_window(XPLMWindowID w, void *)
{
    int l, t, r, b;
    XPLMGetWindowGeometry(w, &l, &t, &r, &b);
    XPLMSetGraphicsState(0, 0, 0, 0, 0, 0, 0);
    glColor3f(1, 1, 0);
    glBegin(GL_QUADS);
    glVertex2i(l, b);
    glVertex2i(l, t);
    glVertex2i(r, t);
    glVertex2i(r, b);
    glEnd();
}

int window_click(XPLMWindowID, int x, int y, XPLMMouseStatus status, void *)
{
    log("click %d at %d,%d", status, x, y);
    return 1;
}

int toggle(XPLMCommandRef, XPLMCommandPhase phase, void *)
{
    log("toggle phase %d", phase);
    if (phase != xplm_CommandEnd)
        return 1;
    if (window == nullptr) {
        XPLMCreateWindow_t p{};
        p.structSize = sizeof(p);
        p.left = 100;
        p.top = 300;
        p.right = 300;
        p.bottom = 100;
        p.drawWindowFunc = draw_window;
        p.handleMouseClickFunc = window_click;
        p.layer = xplm_WindowLayerFloatingWindows;
        window = XPLMCreateWindowEx(&p);
        XPLMSetWindowTitle(window, "Test Window");
    }
    XPLMSetWindowIsVisible(window, XPLMGetWindowIsVisible(window) == 0 ? 1 : 0);
    return 1;
}

bool all_zero(const char *buf)
{
    for (int i = 0; i < 256; i++) {
        if (buf[i] != 0)
            return false;
    }
    return true;
}

} // namespace

PLUGIN_API int XPluginStart(char *outName, char *outSig, char *outDesc)
{
    bool clean = all_zero(outName) && all_zero(outSig) && all_zero(outDesc);
    strcpy(outName, "Host Test Plugin");
    strcpy(outSig, "simhost.test.plugin");
    strcpy(outDesc, "A plugin the host's tests drive");
    XPLMEnableFeature("XPLM_USE_NATIVE_PATHS", 1);
    log("start, id %d, buffers %s", XPLMGetMyID(), clean ? "clean" : "dirty");
    XPLMRegisterDrawCallback(count_draw, xplm_Phase_Window, 0, nullptr);
    return setting("simhost_test/start_result", 1);
}

PLUGIN_API int XPluginEnable(void)
{
    char path[4096];
    XPLMGetPluginInfo(XPLMGetMyID(), nullptr, path, nullptr, nullptr);
    log("enable, path %s", path);
    XPLMRegisterFlightLoopCallback(count_flight_loop, -1, nullptr);
    if (toggle_cmd == nullptr) {
        toggle_cmd = XPLMCreateCommand("simhost_test/toggle", "Shows and hides the test window");
        XPLMMenuID plugins = XPLMFindPluginsMenu();
        XPLMMenuID menu = XPLMCreateMenu(
            "Host Test", plugins, XPLMAppendMenuItem(plugins, "Host Test", nullptr, 0), nullptr, nullptr);
        XPLMAppendMenuItemWithCommand(menu, "Toggle", toggle_cmd);
    }
    XPLMRegisterCommandHandler(toggle_cmd, toggle, 1, nullptr);
    return setting("simhost_test/enable_result", 1);
}

PLUGIN_API void XPluginDisable(void)
{
    XPLMUnregisterFlightLoopCallback(count_flight_loop, nullptr);
    XPLMUnregisterCommandHandler(toggle_cmd, toggle, 1, nullptr);
    if (window != nullptr)
        XPLMDestroyWindow(window);
    window = nullptr;
    log("disable after %d flight loops, %d draws", flight_loops, draws);
}

PLUGIN_API void XPluginStop(void)
{
    if (setting("simhost_test/leak_at_stop", 0) == 0)
        XPLMUnregisterDrawCallback(count_draw, xplm_Phase_Window, 0, nullptr);
    log("stop");
}

PLUGIN_API void XPluginReceiveMessage(XPLMPluginID inFrom, int inMsg, void *)
{
    log("message %d from %d", inMsg, inFrom);
    if (inMsg == XPLM_MSG_PLANE_LOADED) {
        char file[256], path[512];
        XPLMGetNthAircraftModel(0, file, path);
        log("aircraft %s at %s", file, path);
    }
}
