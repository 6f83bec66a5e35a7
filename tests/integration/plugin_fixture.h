#pragma once

#include <gtest/gtest.h>

#include <string>
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
    // Loads and starts the plugin; enables it too when asked.
    void load_and_start();
    void start_and_enable();

    // The plugin's log lines, each without its prefix, source and newline.
    std::vector<std::string> plugin_messages() const;
    bool logged(const std::string &message) const;
    // The plugin's messages from the first one equal to `from` on.
    std::vector<std::string> messages_from(const std::string &from) const;
};

// Copies the built plugin file into <dir>/lin_x64/kyv_pop.xpl.
void install_plugin_copy(const std::string &plugin_dir);
