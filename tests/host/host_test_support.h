#pragma once

// What the host tests share: fresh copies of the test plugins (the dynamic
// loader maps a path once per process, so a test that needs the plugin's
// statics fresh loads a copy of its own) and reading what the plugin logged.

#include "XPLMDisplay.h"
#include "geometry.h"
#include "host.h"
#include "temp_dir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace host_test {

namespace fs = std::filesystem;

// Copies a built library to <folder>/<platform folder>/<file> and returns <folder>.
inline fs::path install_plugin(const fs::path &folder, const char *built,
                               const std::string &file = "kyv_pop.xpl")
{
    const fs::path platform = folder / simhost::host::platform_folder();
    fs::create_directories(platform);
    fs::copy_file(built, platform / file, fs::copy_options::overwrite_existing);
    return folder;
}

// The test plugin's own lines, without their prefix and newline.
inline std::vector<std::string> plugin_lines(const std::vector<std::string> &debug_strings)
{
    const std::string prefix = "test plugin: ";
    std::vector<std::string> lines;
    for (const std::string &s : debug_strings) {
        if (s.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(s.substr(prefix.size(), s.size() - prefix.size() - 1));
    }
    return lines;
}

// A visible floating window's parameters at a rectangle; callbacks to fill in.
inline XPLMCreateWindow_t window_params(const simhost::rect &r, int visible = 1)
{
    XPLMCreateWindow_t p{};
    p.structSize = sizeof(p);
    p.left = r.left;
    p.top = r.top;
    p.right = r.right;
    p.bottom = r.bottom;
    p.visible = visible;
    p.decorateAsFloatingWindow = xplm_WindowDecorationNone;
    p.layer = xplm_WindowLayerFloatingWindows;
    return p;
}

inline bool contains(const std::vector<std::string> &v, const std::string &part)
{
    for (const std::string &s : v) {
        if (s.find(part) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace host_test
