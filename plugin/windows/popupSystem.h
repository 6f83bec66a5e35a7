#pragma once

// The popup system: from enable to disable it owns the three displays'
// commands, overlay images, windows and renderers, and the cursor set.

#include <string>
#include <vector>

#include "windows/popup.h"

// The displays in the order every walk uses: MFD, PFD, PFD2. Empty while
// the plugin is disabled.
extern std::vector<popup *> popup_list;

// `path` is the plugin folder with its trailing separator.
void popup_system_init(std::string path);
void popup_system_fini();
// The user's aircraft has loaded: each display's place is looked up again.
void popup_system_aircraft_loaded();

// One display's start: its command, overlay image, hot-spots and regions.
// False when its overlay image cannot be read; the display stays usable.
bool popup_init(popup *pup);

// The cursors shared by the three windows, in their loading order.
enum class cursor_id {
    m_point,
    m_click,
    a_up,
    a_dn,
    r_s_l,
    r_s_r,
    r_m_l,
    r_m_r,
    r_l_l,
    r_l_r,
    b_close,
    b_pop,
    b_resize_l,
    b_resize_r,
    count
};

// Null when its image could not be read or the system is not running.
cursor_t *popup_cursor_image(cursor_id id);

// Stops and frees the display's overlay renderer, if it has one.
void popup_finish_renderer(popup *pup);

// Whether the display's overlay image was read and can size a renderer.
bool popup_has_overlay(const popup *pup);
