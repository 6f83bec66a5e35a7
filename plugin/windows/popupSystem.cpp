#include "windows/popupSystem.h"

#include <array>
#include <cstdio>
#include <memory>

#include <acfutils/helpers.h>
#include <acfutils/log.h>

#include "pictures/device_capture.h"
#include "pictures/display_places.h"
#include "windows/popup_input.h"
#include "windows/popup_window.h"
#include "pictures/scr_cap.h"

std::vector<popup *> popup_list;

namespace {

constexpr size_t cursor_count = static_cast<size_t>(cursor_id::count);

// Indexed by cursor_id.
const char *const cursor_files[cursor_count] = {
    "m_point.png", "m_click.png", "a_up.png",  "a_dn.png",    "r_s_l.png", "r_s_r.png",      "r_m_l.png",
    "r_m_r.png",   "r_l_l.png",   "r_l_r.png", "b_close.png", "b_pop.png", "b_resize_l.png", "b_resize_r.png",
};

std::string plugin_dir;
std::array<cursor_t *, cursor_count> cursors{};

// mkpathname's result, released when it goes out of scope.
using path_name = std::unique_ptr<char, void (*)(void *)>;

void load_cursors()
{
    if (plugin_dir.empty())
        return;
    for (size_t i = 0; i < cursor_count; i++) {
        path_name path(
            mkpathname(plugin_dir.c_str(), "resources", "popup", "cursors", cursor_files[i], nullptr),
            lacf_free);
        cursors[i] = cursor_read_from_file(path.get());
    }
}

void free_cursors()
{
    for (cursor_t *&c : cursors) {
        if (c != nullptr) {
            cursor_free(c);
            c = nullptr;
        }
    }
}

void create_command(popup *pup)
{
    char desc[256];
    snprintf(desc, sizeof(desc), "Show/hide pop out window for %s", pup->title.c_str());
    pup->cmd = XPLMCreateCommand(pup->cmd_name.c_str(), desc);
    XPLMRegisterCommandHandler(pup->cmd, popup_toggle, 0, pup);
}

bool load_overlay(popup *pup)
{
    if (plugin_dir.empty()) {
        logMsg("%s will open without its overlay: the plugin folder is unknown", pup->title.c_str());
        return false;
    }
    path_name path(mkpathname(plugin_dir.c_str(), "resources/popup/", pup->image.c_str(), nullptr),
                   lacf_free);
    pup->bezel = cairo_image_surface_create_from_png(path.get());
    if (cairo_surface_status(pup->bezel) != CAIRO_STATUS_SUCCESS) {
        logMsg("Cannot read image file %s", path.get());
        logMsg("%s will open without its overlay", pup->title.c_str());
        return false;
    }
    return true;
}

void fini_popup(popup *pup)
{
    logMsg("Fini %s", pup->title.c_str());
    if (pup->win != nullptr) {
        XPLMDestroyWindow(pup->win);
        pup->win = nullptr;
    }
    // The renderer's worker reads the overlay image: stop it first.
    popup_finish_renderer(pup);
    if (pup->bezel != nullptr) {
        cairo_surface_destroy(pup->bezel);
        pup->bezel = nullptr;
    }
    if (pup->cmd != nullptr) {
        XPLMUnregisterCommandHandler(pup->cmd, popup_toggle, 0, pup);
        pup->cmd = nullptr;
    }
    for (capture_region *r = pup->regions; r != nullptr && !region_is_end(*r); r++) {
        r->last_capture_us = 0;
        scr_cap_release(r);
    }
    device_capture_stop(pup);
    // A press under way when the window went is over.
    pup->grab_dx = 0;
    pup->grab_dy = 0;
    pup->resize_side = 0;
    pup->dragging = 0;
}

} // namespace

void popup_system_init(std::string path)
{
    const std::string path_with_separator = path;
    plugin_dir = std::move(path);
    if (!plugin_dir.empty())
        plugin_dir.pop_back();
    else
        logMsg("The plugin folder is unknown: no cursors or overlay images can be loaded");

    pfd_popup.keys = &pfd_keys;
    mfd_popup.keys = &mfd_keys;
    pfd2_popup.keys = &pfd2_keys;
    popup_list = {&mfd_popup, &pfd_popup, &pfd2_popup};

    load_cursors();
    for (popup *pup : popup_list)
        popup_init(pup);

    const avionics::api api = avionics::find_api();
    if (!api.usable())
        logMsg("The simulator has no avionics functions: every display shows the panel");
    for (popup *pup : {&pfd_popup, &mfd_popup, &pfd2_popup})
        device_capture_start(pup, api);
    places_start(path_with_separator);
}

void popup_system_aircraft_loaded()
{
    if (!popup_list.empty())
        places_aircraft_loaded();
}

bool popup_init(popup *pup)
{
    logMsg("Init %s", pup->title.c_str());
    create_command(pup);
    if (!load_overlay(pup))
        return false;
    if (pup->width == 0 || pup->height == 0) {
        pup->width = cairo_image_surface_get_width(pup->bezel);
        pup->height = cairo_image_surface_get_height(pup->bezel);
    }
    resolve_hotspot_commands(pup);
    for (capture_region *r = pup->regions; r != nullptr && !region_is_end(*r); r++) {
        r->last_capture_us = 0;
        r->tex = 0;
    }
    return true;
}

void popup_system_fini()
{
    // A hot-spot's command must not stay held by a plugin that stops.
    popup_release_held_command();
    for (popup *pup : popup_list)
        fini_popup(pup);
    popup_list.clear();
    free_cursors();
    places_stop();
}

cursor_t *popup_cursor_image(cursor_id id)
{
    const auto i = static_cast<size_t>(id);
    return i < cursor_count ? cursors[i] : nullptr;
}

void popup_finish_renderer(popup *pup)
{
    if (pup->mtcr != nullptr) {
        mt_cairo_render_fini(pup->mtcr);
        pup->mtcr = nullptr;
    }
}

bool popup_has_overlay(const popup *pup)
{
    return pup->bezel != nullptr && cairo_surface_status(pup->bezel) == CAIRO_STATUS_SUCCESS &&
           cairo_image_surface_get_width(pup->bezel) > 0 && cairo_image_surface_get_height(pup->bezel) > 0;
}
