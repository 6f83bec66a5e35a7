#include "lifecycle/plugin_folder.h"

#include <cstring>
#include <string>

#include <acfutils/log.h>

namespace {

constexpr const char *file_name = "kyv_pop.xpl";
// "<7-character platform folder><separator>kyv_pop.xpl"
constexpr std::size_t platform_suffix_len = 7 + 1 + 11;

bool is_sep(char c)
{
    return c == '/' || c == '\\';
}

bool follows_layout(const std::string &path)
{
    if (path.size() < platform_suffix_len + 1 || path.size() >= plugin_folder_size)
        return false;
    const std::size_t start = path.size() - platform_suffix_len;
    if (!is_sep(path[start - 1]) || !is_sep(path[start + 7]))
        return false;
    for (std::size_t i = start; i < start + 7; i++) {
        if (is_sep(path[i]))
            return false;
    }
    return path.compare(start + 8, std::string::npos, file_name) == 0;
}

// The folder above the one that holds the file, or the file's own folder
// when it has no parent; empty when the path names no folder at all.
std::string holder_of_platform_folder(const std::string &path)
{
    std::size_t file_sep = path.find_last_of("/\\");
    if (file_sep == std::string::npos)
        return {};
    std::string dir = path.substr(0, file_sep + 1);
    if (file_sep == 0)
        return dir;
    std::size_t parent_sep = path.find_last_of("/\\", file_sep - 1);
    if (parent_sep == std::string::npos)
        return dir;
    return path.substr(0, parent_sep + 1);
}

} // namespace

bool derive_plugin_folder(const char *file_path, char *folder)
{
    const std::string path = file_path != nullptr ? file_path : "";
    folder[0] = '\0';
    if (follows_layout(path)) {
        std::size_t n = path.size() - platform_suffix_len;
        memcpy(folder, path.data(), n);
        folder[n] = '\0';
        return true;
    }

    std::string found = holder_of_platform_folder(path);
    if (found.empty()) {
        logMsg("Plugin file path \"%s\" names no folder; settings and resources are unavailable",
               path.c_str());
    } else if (found.size() >= plugin_folder_size) {
        logMsg("Plugin folder path is %zu characters long, over the %zu this plugin can hold; "
               "settings and resources are unavailable",
               found.size(), plugin_folder_size - 1);
    } else {
        memcpy(folder, found.c_str(), found.size() + 1);
        logMsg("Plugin file \"%s\" is not installed as <plugin folder>/<platform>/%s; using %s", path.c_str(),
               file_name, folder);
    }
    return false;
}
