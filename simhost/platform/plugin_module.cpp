#include "platform/plugin_module.h"

#include "platform/dynamic_library.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace simhost::detail {

namespace {

const char *const default_plugin_file = "kyv_pop.xpl";

// Paths cross the host's interface as UTF-8, whatever the platform's own encoding.
fs::path from_utf8(const std::string &s)
{
    return fs::u8path(s);
}

std::string to_utf8(const fs::path &p)
{
    return p.u8string();
}

template <typename F> void resolve(void *library, const char *name, F &out, std::string &missing)
{
    out = reinterpret_cast<F>(library_symbol(library, name));
    if (out == nullptr)
        missing += missing.empty() ? name : std::string(", ") + name;
}

} // namespace

const char *platform_folder()
{
    return SIMHOST_PLATFORM_FOLDER;
}

bool find_plugin_in_folder(const std::string &dir, std::string &xpl_path, std::string &error)
{
    std::error_code ec;
    if (!fs::is_directory(from_utf8(dir), ec)) {
        error = "no plugin folder at " + dir;
        return false;
    }
    const fs::path platform = from_utf8(dir) / platform_folder();
    if (!fs::is_directory(platform, ec)) {
        error = "plugin folder " + dir + " has no " + platform_folder() + " folder";
        return false;
    }
    std::vector<fs::path> found;
    for (const fs::directory_entry &e : fs::directory_iterator(platform, ec)) {
        if (e.path().extension() == ".xpl")
            found.push_back(e.path());
    }
    if (found.size() == 1) {
        xpl_path = to_utf8(found.front());
        return true;
    }
    const fs::path preferred = platform / default_plugin_file;
    if (std::find(found.begin(), found.end(), preferred) != found.end()) {
        xpl_path = to_utf8(preferred);
        return true;
    }
    if (found.empty()) {
        error = "no .xpl file in " + to_utf8(platform);
    } else {
        error = std::to_string(found.size()) + " .xpl files in " + to_utf8(platform) + " and none is " +
                default_plugin_file;
    }
    return false;
}

bool plugin_module::open(const std::string &path, std::string &error)
{
    close();
    std::error_code ec;
    const fs::path abs = fs::absolute(from_utf8(path), ec).lexically_normal();
    if (ec || !fs::exists(abs, ec)) {
        error = "no plugin file at " + path;
        return false;
    }
    if (!fs::is_regular_file(abs, ec)) {
        error = path + " is not a file";
        return false;
    }
    std::string why;
    void *library = open_library(to_utf8(abs), why);
    if (library == nullptr) {
        error = "cannot load " + to_utf8(abs) + ": " + why;
        return false;
    }
    plugin_entry_points entry;
    std::string missing;
    resolve(library, "XPluginStart", entry.start, missing);
    resolve(library, "XPluginEnable", entry.enable, missing);
    resolve(library, "XPluginDisable", entry.disable, missing);
    resolve(library, "XPluginStop", entry.stop, missing);
    resolve(library, "XPluginReceiveMessage", entry.receive_message, missing);
    if (!missing.empty()) {
        close_library(library);
        error = to_utf8(abs) + " is not a plugin: it lacks " + missing;
        return false;
    }
    handle_ = library;
    entry_ = entry;
    path_ = to_utf8(abs);
    return true;
}

void plugin_module::close()
{
    if (handle_ != nullptr)
        close_library(handle_);
    handle_ = nullptr;
    entry_ = plugin_entry_points();
    path_.clear();
}

} // namespace simhost::detail
