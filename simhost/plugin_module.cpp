#include "plugin_module.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace simhost::detail {

namespace {

const char *const default_plugin_file = "kyv_pop.xpl";

// dlsym hands back void *; the entry points' types are fixed by the interface.
template <typename F> void resolve(void *handle, const char *name, F &out, std::string &missing)
{
    out = reinterpret_cast<F>(dlsym(handle, name));
    if (out == nullptr)
        missing += missing.empty() ? name : std::string(", ") + name;
}

} // namespace

bool find_plugin_in_folder(const std::string &dir, std::string &xpl_path, std::string &error)
{
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        error = "no plugin folder at " + dir;
        return false;
    }
    fs::path platform = fs::path(dir) / "lin_x64";
    if (!fs::is_directory(platform, ec)) {
        error = "plugin folder " + dir + " has no lin_x64 folder";
        return false;
    }
    std::vector<fs::path> found;
    for (const fs::directory_entry &e : fs::directory_iterator(platform, ec)) {
        if (e.path().extension() == ".xpl")
            found.push_back(e.path());
    }
    if (found.size() == 1) {
        xpl_path = found.front().string();
        return true;
    }
    fs::path preferred = platform / default_plugin_file;
    if (std::find(found.begin(), found.end(), preferred) != found.end()) {
        xpl_path = preferred.string();
        return true;
    }
    if (found.empty()) {
        error = "no .xpl file in " + platform.string();
    } else {
        error = std::to_string(found.size()) + " .xpl files in " + platform.string() + " and none is " +
                default_plugin_file;
    }
    return false;
}

bool plugin_module::open(const std::string &path, std::string &error)
{
    close();
    std::error_code ec;
    fs::path abs = fs::absolute(path, ec).lexically_normal();
    if (ec || !fs::exists(abs, ec)) {
        error = "no plugin file at " + path;
        return false;
    }
    if (!fs::is_regular_file(abs, ec)) {
        error = path + " is not a file";
        return false;
    }
    // RTLD_NOW: a plugin that needs an XPLM function we lack fails here, by
    // name, not with a crash at its first call.
    int flags = RTLD_NOW | RTLD_LOCAL;
#ifdef KYV_SANITIZED
    // Keeps an unloaded plugin's code mapped, so leak reports can name its functions.
    flags |= RTLD_NODELETE;
#endif
    void *handle = dlopen(abs.c_str(), flags);
    if (handle == nullptr) {
        const char *why = dlerror();
        error = "cannot load " + abs.string() + ": " + (why != nullptr ? why : "unknown loader error");
        return false;
    }
    plugin_entry_points entry;
    std::string missing;
    resolve(handle, "XPluginStart", entry.start, missing);
    resolve(handle, "XPluginEnable", entry.enable, missing);
    resolve(handle, "XPluginDisable", entry.disable, missing);
    resolve(handle, "XPluginStop", entry.stop, missing);
    resolve(handle, "XPluginReceiveMessage", entry.receive_message, missing);
    if (!missing.empty()) {
        dlclose(handle);
        error = abs.string() + " is not a plugin: it lacks " + missing;
        return false;
    }
    handle_ = handle;
    entry_ = entry;
    path_ = abs.string();
    return true;
}

void plugin_module::close()
{
    if (handle_ != nullptr)
        dlclose(handle_);
    handle_ = nullptr;
    entry_ = plugin_entry_points();
    path_.clear();
}

} // namespace simhost::detail
