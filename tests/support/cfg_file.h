#pragma once

#include <string>
#include <utility>
#include <vector>

// The "key = value" entries of a settings file, in file order, read
// independently of the code under test.
std::vector<std::pair<std::string, std::string>> cfg_entries(const std::string &text);

// The 21 keys of the plugin's settings file with their defaults, in the
// order they are first added.
const std::vector<std::pair<std::string, int>> &default_settings();
