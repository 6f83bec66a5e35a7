#pragma once

// One plugin binary opened with the platform's loader, and its five entry points.

#include <string>

namespace simhost::detail {

struct plugin_entry_points {
    int (*start)(char *name, char *signature, char *description) = nullptr;
    int (*enable)() = nullptr;
    void (*disable)() = nullptr;
    void (*stop)() = nullptr;
    void (*receive_message)(int from, int message, void *param) = nullptr;
};

// The folder of a plugin folder that holds this platform's binaries: lin_x64, win_x64.
const char *platform_folder();

// The binary a plugin folder holds: <platform>/<the single .xpl>, else <platform>/kyv_pop.xpl.
// Paths are UTF-8.
bool find_plugin_in_folder(const std::string &dir, std::string &xpl_path, std::string &error);

class plugin_module {
public:
    plugin_module() = default;
    ~plugin_module() { close(); }
    plugin_module(const plugin_module &) = delete;
    plugin_module &operator=(const plugin_module &) = delete;

    bool open(const std::string &path, std::string &error);
    void close();
    bool is_open() const { return handle_ != nullptr; }
    const plugin_entry_points &entry() const { return entry_; }
    // Absolute, as the simulator hands it over.
    const std::string &path() const { return path_; }

private:
    void *handle_ = nullptr;
    plugin_entry_points entry_;
    std::string path_;
};

} // namespace simhost::detail
