#pragma once

#include <string>
#include <vector>

#include <acfutils/log.h>

// Routes the utility layer's log into a list for the life of the object;
// messages() gives each line's text after "<prefix>[file:line]: ".
class log_capture {
public:
    log_capture()
    {
        lines().clear();
        log_init(&log_capture::collect, "TEST");
    }
    ~log_capture() { log_fini(); }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> out;
        for (const std::string &l : lines()) {
            auto at = l.find("]: ");
            std::string m = at == std::string::npos ? l : l.substr(at + 3);
            while (!m.empty() && m.back() == '\n')
                m.pop_back();
            out.push_back(m);
        }
        return out;
    }

private:
    static std::vector<std::string> &lines()
    {
        static std::vector<std::string> l;
        return l;
    }
    static void collect(const char *line) { lines().emplace_back(line); }
};
