#pragma once

// The remote viewer as the plugin's entry points and menu see it: read its
// settings and start the server at enable, stop it at disable, and one menu
// item that shows its address and turns it on and off.

#include "XPLMMenus.h"

#include "remote/frame_hub.h"

namespace remote {

// At enable, once the settings folder is known: starts the server when
// remote.cfg says so. The plugin works on whatever happens here.
void service_enable(const char *plugin_folder);
// At disable: stops the server, joining all its threads.
void service_disable();

// Adds the "Remote Displays: ..." item to the plugin's menu.
void service_add_menu_item(XPLMMenuID menu);
// The item's text now.
const char *service_menu_text();

// The hub the read-back and encoder feed while the server runs; null otherwise.
frame_hub *service_hub();

} // namespace remote
