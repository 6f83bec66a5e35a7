#pragma once

// Working out the plugin's folder from the path of its own file, which the
// simulator installs as <plugin folder>/<platform folder>/kyv_pop.xpl.

#include <cstddef>

constexpr std::size_t plugin_folder_size = 512;

// Fills `folder` (plugin_folder_size bytes) with the plugin folder, ending in
// a separator. Returns false, with a log line, when the path does not follow
// the installed layout and the folder had to be worked out otherwise; `folder`
// is empty when no folder could be found or it would not fit.
bool derive_plugin_folder(const char *file_path, char *folder);
