// The plugin's entry points: identity, logging, and the start, enable,
// disable and stop sequences. Each step lives in its own module.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <cairo.h>

#include "XPLMDisplay.h"
#include "XPLMPlugin.h"
#include "XPLMProcessing.h"
#include "XPLMUtilities.h"

#include <acfutils/crc64.h>
#include <acfutils/glew.h>
#include <acfutils/helpers.h>
#include <acfutils/log.h>

#include "windows/popupSystem.h"
#include "pictures/picker/picker_window.h"
#include "pictures/popup_capture.h"
#include "settings/config.h"
#include "lifecycle/perf_clock.h"
#include "lifecycle/plugin_folder.h"
#include "lifecycle/startup.h"
#include "remote/picture_feed.h"
#include "remote/remote_service.h"

#ifndef KYV_PLUGIN_VERSION
#define KYV_PLUGIN_VERSION "3.0.1"
#endif

namespace {

constexpr const char *plugin_name = "Custom Popups by Orvanex, created for Tessaline";
constexpr const char *plugin_sig = "qzt.KYVPopup";
constexpr const char *plugin_desc = "Custom Popups for X-Plane";
constexpr const char *log_prefix = "KYV D208 POPUP";
constexpr const char *plugin_version = KYV_PLUGIN_VERSION;

const std::string build_banner =
    std::string("Version ") + plugin_version + " | Compiled On: " + __DATE__ + " " + __TIME__;

// Large enough for any native path the simulator hands over; the folder
// derived from it must fit plugin_folder_size.
char plugin_file_path[4096];
char plugin_folder[plugin_folder_size];

// Registered at start and removed at disable; an enable after a disable
// puts it back, or the displays would stay blank.
bool capture_registered = false;

void register_capture()
{
    if (capture_registered)
        return;
    popup_capture_start();
    capture_registered = XPLMRegisterDrawCallback(popup_capture_cb, xplm_Phase_Gauges, 0, nullptr) != 0;
}

void unregister_capture()
{
    if (capture_registered)
        XPLMUnregisterDrawCallback(popup_capture_cb, xplm_Phase_Gauges, 0, nullptr);
    capture_registered = false;
}

// Every line goes to the simulator's log, then to standard output.
void log_output(const char *line)
{
    XPLMDebugString(line);
    fputs(line, stdout);
    fflush(stdout);
}

void start_glew()
{
    lacf_glew_ctx_t *ctx = lacf_glew_get_context();
    lacf_glew_context_init(ctx);
}

void start_crc64()
{
    crc64_init();
    crc64_srand(perf_now_us());
}

void copy_out(char *dst, const char *src)
{
    memcpy(dst, src, strlen(src) + 1);
}

} // namespace

PLUGIN_API int XPluginStart(char *name, char *sig, char *desc)
{
    startup_reset();
    capture_registered = false;
    XPLMEnableFeature("XPLM_USE_NATIVE_PATHS", 1);
    copy_out(name, plugin_name);
    copy_out(sig, plugin_sig);
    copy_out(desc, plugin_desc);

    log_init(log_output, log_prefix);
    logMsg("This is custom window popups for X-Plane for Tessaline created by Orvanex");
    logMsg("%s", build_banner.c_str());
    logMsg("Start Drawing Processes");
    // Brings cairo's image backend up now rather than on the first window.
    cairo_surface_destroy(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10));
    logMsg("Startup Completed");

    logMsg("Starting GLEW");
    start_glew();
    logMsg("Starting CRC64");
    start_crc64();
    register_capture();

    logMsg("XPLMStart Complete");
    return 1;
}

PLUGIN_API int XPluginEnable(void)
{
    logMsg("XPLMEnable");
    XPLMPluginID me = XPLMFindPluginBySignature(plugin_sig);
    plugin_file_path[0] = '\0';
    XPLMGetPluginInfo(me, nullptr, plugin_file_path, nullptr, nullptr);
    plugin_file_path[sizeof(plugin_file_path) - 1] = '\0';
    derive_plugin_folder(plugin_file_path, plugin_folder);
    logMsg("%s", plugin_folder);

    logMsg("Settings and Failures");
    if (plugin_folder[0] != '\0') {
        char *settings_dir = mkpathname(plugin_folder, "settings", nullptr);
        pref_store_open(settings_dir);
        lacf_free(settings_dir);
    } else {
        pref_store_open(nullptr);
    }

    logMsg("G1000 Popup Init");
    popup_system_init(plugin_folder);
    picker_init();
    register_capture();
    startup_reset();
    XPLMRegisterFlightLoopCallback(startup_flight_loop, -1.0f, nullptr);
    remote::service_enable(plugin_folder);
    logMsg("XPLMEnable Complete");
    return 1;
}

PLUGIN_API void XPluginDisable(void)
{
    logMsg("XPLMDisable");
    logMsg("Unregistering FLC - EF");
    XPLMUnregisterFlightLoopCallback(startup_flight_loop, nullptr);
    startup_remove_menu();
    remote::service_disable();
    logMsg("Unregistering G1000 Popups");
    popup_system_fini();
    picker_fini();
    logMsg("Unregistering Draw Callbacks");
    unregister_capture();
    // Its buffers are GL objects: gone while the context is still ours.
    remote::picture_feed_stop();
    pref_store_close();
    logMsg("XPLMDisable Complete");
}

PLUGIN_API void XPluginStop(void)
{
    logMsg("XPLMStop");
    logMsg("XPLMStop Complete");
}

PLUGIN_API void XPluginReceiveMessage(XPLMPluginID, int message, void *param)
{
    // The one message read: the user's aircraft (index 0) has loaded.
    if (message == XPLM_MSG_PLANE_LOADED && reinterpret_cast<intptr_t>(param) == 0)
        popup_system_aircraft_loaded();
}
