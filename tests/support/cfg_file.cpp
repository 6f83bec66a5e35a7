#include "cfg_file.h"

#include <sstream>

namespace {

std::string trim(const std::string &s)
{
    const char *ws = " \t\r\n";
    auto b = s.find_first_not_of(ws);
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

} // namespace

std::vector<std::pair<std::string, std::string>> cfg_entries(const std::string &text)
{
    std::vector<std::pair<std::string, std::string>> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        out.emplace_back(trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
    }
    return out;
}

const std::vector<std::pair<std::string, int>> &default_settings()
{
    static const std::vector<std::pair<std::string, int>> keys = [] {
        std::vector<std::pair<std::string, int>> k;
        for (const char *prefix : {"pfd_nbzl", "mfd_nbzl", "pfd_2_nbzl"}) {
            const std::string p = prefix;
            k.emplace_back(p + "_x", 0);
            k.emplace_back(p + "_y", 0);
            k.emplace_back(p + "_w", 1024);
            k.emplace_back(p + "_h", 768);
            k.emplace_back(p + "_fill_window", 1);
            k.emplace_back(p + "_popup_at_start", 0);
            k.emplace_back(p + "_monitor_start", -1);
        }
        return k;
    }();
    return keys;
}
