#include "pictures/display_places.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "XPLMPlanes.h"

#include <acfutils/log.h>

#include "pictures/device_capture.h"
#include "pictures/scr_cap.h"
#include "settings/aircraft_file.h"
#include "windows/popup.h"

namespace {

const char *const built_in_origin = "built in";

// The user's aircraft and where its displays' pictures come from, from one
// enable to the disable.
struct aircraft_places {
    std::string settings_dir; // <plugin folder>/settings/aircraft
    std::string acf_file, acf_path;
    std::optional<aircraft_file> pilot, beside;
    panel_size panel{0, 0};
    bool settled = false; // for this aircraft and this panel
    display_places in_use = places_built_in();
};

aircraft_places state;

popup &popup_of(int display)
{
    return display == 0 ? pfd_popup : display == 1 ? mfd_popup : pfd2_popup;
}

std::string rect_text(const panel_rect &r)
{
    return "(" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.w) + ", " +
           std::to_string(r.h) + ")";
}

std::string pilot_file_shown(const std::string &safe_name)
{
    return "settings/aircraft/" + safe_name + ".cfg";
}

void read_aircraft()
{
    char file[256] = {}, path[512] = {};
    XPLMGetNthAircraftModel(0, file, path);
    file[sizeof(file) - 1] = '\0';
    path[sizeof(path) - 1] = '\0';
    state.acf_file = file;
    state.acf_path = path;
    state.pilot.reset();
    state.beside.reset();
    state.settled = false;
    if (state.acf_file.empty())
        return;
    const std::string safe = aircraft_file_safe_name(state.acf_file);
    if (!state.settings_dir.empty())
        state.pilot = aircraft_file_read(
            (std::filesystem::u8path(state.settings_dir) / std::filesystem::u8path(safe + ".cfg")).u8string(),
            pilot_file_shown(safe));
    if (!state.acf_path.empty()) {
        // Named after the .acf as it is on disk beside it.
        const std::filesystem::path acf = std::filesystem::u8path(state.acf_path);
        const std::filesystem::path beside = acf.parent_path() / (acf.filename().u8string() + ".kyv_pop.cfg");
        state.beside = aircraft_file_read(beside.u8string(), beside.u8string());
    }
}

// Puts the display on its place: its panel rectangle and its source.
void apply(int display, const display_place &place, const std::string &origin, bool log)
{
    popup &pup = popup_of(display);
    capture_region &r = pup.regions[0];
    const panel_rect &to = place.rect;
    if (r.src_w != to.w || r.src_h != to.h)
        scr_cap_release(&r);
    r.src_x = to.x;
    r.src_y = to.y;
    r.src_w = to.w;
    r.src_h = to.h;
    const bool device = device_capture_choose(&pup, place.source != picture_source::panel);
    state.in_use[display] = place;
    if (!log)
        return;
    if (place.source == picture_source::device && !device)
        logMsg("%s: source = device in %s, but %s: the panel is shown", display_short_name(display),
               origin.c_str(),
               avionics_available() ? "the aircraft does not use its cockpit device"
                                    : "the simulator has no avionics functions");
    if (device)
        logMsg("%s Picture: Cockpit Device %s", display_short_name(display), pup.device.device_name);
    else if (origin == built_in_origin)
        logMsg("%s Picture: Panel %s built in", display_short_name(display), rect_text(to).c_str());
    else
        logMsg("%s Picture: Panel %s from %s", display_short_name(display), rect_text(to).c_str(),
               origin.c_str());
}

// The files in the order they are asked, those that may apply to `panel`
// (nullopt: not known yet, when only files made for any panel may).
std::vector<const aircraft_file *> candidates(std::optional<panel_size> panel, bool log)
{
    std::vector<const aircraft_file *> out;
    for (const std::optional<aircraft_file> *f : {&state.pilot, &state.beside}) {
        if (!f->has_value())
            continue;
        const aircraft_file &file = **f;
        if (file.made_for.has_value()) {
            if (!panel.has_value())
                continue;
            if (file.made_for->width != panel->width || file.made_for->height != panel->height) {
                if (log)
                    logMsg("%s: made for a panel of %d x %d, this aircraft's is %d x %d: not applied",
                           file.shown.c_str(), file.made_for->width, file.made_for->height, panel->width,
                           panel->height);
                continue;
            }
        }
        out.push_back(&file);
    }
    return out;
}

// Each display from the first file that applies and holds a place that fits,
// else built in. Without a panel size the places are not checked: nothing is
// copied from the panel before its first pass settles them.
void choose(std::optional<panel_size> panel, bool log)
{
    const std::vector<const aircraft_file *> files = candidates(panel, log);
    if (log) {
        const std::string aircraft = state.acf_file.empty() ? "(none named)" : state.acf_file;
        if (files.empty())
            logMsg("Aircraft %s, panel %d x %d: no aircraft file, built-in places", aircraft.c_str(),
                   panel->width, panel->height);
        else
            logMsg("Aircraft %s, panel %d x %d: places from %s", aircraft.c_str(), panel->width,
                   panel->height, files[0]->shown.c_str());
    }
    const display_places built_in = places_built_in();
    for (int i = 0; i < display_count; i++) {
        display_place place = built_in[i];
        std::string origin = built_in_origin;
        for (const aircraft_file *f : files) {
            const panel_rect &r = f->places[i].rect;
            if (!panel.has_value() || place_fits(r, *panel)) {
                place = f->places[i];
                origin = f->shown;
                break;
            }
            if (log)
                logMsg("%s: the %s's place %s is not inside the %d x %d panel or is under %d x %d: not used",
                       f->shown.c_str(), display_short_name(i), rect_text(r).c_str(), panel->width,
                       panel->height, place_min_w, place_min_h);
        }
        apply(i, place, origin, log);
    }
}

} // namespace

display_places places_in_use()
{
    return state.in_use;
}

display_places places_saved()
{
    // A file made for another panel holds nothing this aircraft can go back to.
    const std::optional<aircraft_file> &f = state.pilot;
    const bool fits =
        f.has_value() && (!f->made_for.has_value() || (f->made_for->width == state.panel.width &&
                                                       f->made_for->height == state.panel.height));
    return fits ? f->places : state.in_use;
}

panel_size current_panel_size()
{
    return state.panel;
}

const std::string &aircraft_file_name()
{
    return state.acf_file;
}

bool avionics_available()
{
    return pfd_popup.device.api.usable();
}

void places_start(const std::string &plugin_folder)
{
    state = aircraft_places{};
    if (!plugin_folder.empty())
        state.settings_dir = (std::filesystem::u8path(plugin_folder) / "settings" / "aircraft").u8string();
    places_aircraft_loaded();
}

void places_aircraft_loaded()
{
    read_aircraft();
    choose(std::nullopt, false);
}

void places_panel_pass(panel_size panel)
{
    if (panel.width <= 0 || panel.height <= 0)
        return;
    if (state.settled && panel.width == state.panel.width && panel.height == state.panel.height)
        return;
    state.panel = panel;
    state.settled = true;
    choose(panel, true);
}

void places_stop()
{
    state = aircraft_places{};
}

bool places_save(const display_places &places, std::string &error)
{
    error.clear();
    if (state.acf_file.empty())
        error = "the simulator names no aircraft";
    else if (state.settings_dir.empty())
        error = "the plugin folder is unknown";
    else if (!state.settled)
        error = "the panel has not been drawn since the aircraft loaded, so its size is not known";
    for (int i = 0; error.empty() && i < display_count; i++)
        if (!place_fits(places[i].rect, state.panel))
            error = std::string("the ") + display_short_name(i) + "'s place " + rect_text(places[i].rect) +
                    " is not inside the panel or is too small";
    const std::string safe = aircraft_file_safe_name(state.acf_file);
    const std::string path =
        (std::filesystem::u8path(state.settings_dir) / std::filesystem::u8path(safe + ".cfg")).u8string();
    if (error.empty())
        aircraft_file_write(path, places, state.panel, error);
    // Nothing is lost on failure: the displays keep their places.
    if (!error.empty()) {
        logMsg("Display places not saved: %s", error.c_str());
        return false;
    }
    state.pilot = aircraft_file{path, pilot_file_shown(safe), state.panel, places};
    logMsg("Display places saved to %s", state.pilot->shown.c_str());
    choose(state.panel, true);
    return true;
}
