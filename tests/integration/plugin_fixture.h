#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host.h"
#include "temp_dir.h"

// A fresh copy of the built plugin folder in a temporary folder, loaded in a
// simulator host. A fresh copy also means fresh static state in the plugin.
class plugin_fixture : public ::testing::Test {
protected:
    temp_dir tmp;
    std::string plugin_dir = tmp / "kyv_pop";
    std::string settings_dir = plugin_dir + "/settings";
    std::string cfg_path = settings_dir + "/popups.cfg";
    simhost::host host;

    void SetUp() override;
    // No callback left GL state changed or a GL error pending.
    void TearDown() override;
    // Loads and starts the plugin; enables it too when asked.
    void load_and_start();
    void start_and_enable();

    // popups.cfg with the defaults, but for the given values; read at the next enable.
    void write_settings(const std::vector<std::pair<std::string, int>> &values);

    // The window of that title, if the plugin made one.
    std::optional<simhost::host::window_info> window(const std::string &title) const;

    // The plugin's log lines, each without its prefix, source and newline.
    std::vector<std::string> plugin_messages() const;
    bool logged(const std::string &message) const;
    size_t count(const std::string &message) const;
    // The plugin's messages from the first one equal to `from` on.
    std::vector<std::string> messages_from(const std::string &from) const;
};

// The three displays as a pilot meets them: a command and a window.
struct display {
    const char *command;
    const char *title;
    const char *key_prefix;
};
extern const display pfd, mfd, pfd2;

// Switches the working folder for a scope, so relative paths land in it.
class working_dir {
public:
    explicit working_dir(const std::string &dir);
    ~working_dir();
    working_dir(const working_dir &) = delete;
    working_dir &operator=(const working_dir &) = delete;

private:
    std::string old_;
};

// Copies the built plugin file into <dir>/<platform folder>/kyv_pop.xpl.
void install_plugin_copy(const std::string &plugin_dir);
