#pragma once

#include <mutex>
#include <string>
#include <vector>

#include <acfutils/log.h>

// Routes the utility layer's log into a list for the life of the object
// (lines may come from worker threads); messages() gives each line's text
// after "<prefix>[file:line]: ".
class log_capture {
public:
    log_capture()
    {
        clear();
        log_init(&log_capture::collect, "TEST");
    }
    ~log_capture() { log_fini(); }
    log_capture(const log_capture &) = delete;
    log_capture &operator=(const log_capture &) = delete;

    std::vector<std::string> lines() const
    {
        std::lock_guard<std::mutex> lock(mutex());
        return store();
    }

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

    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex());
        store().clear();
    }

private:
    static std::mutex &mutex()
    {
        static std::mutex m;
        return m;
    }
    static std::vector<std::string> &store()
    {
        static std::vector<std::string> l;
        return l;
    }
    static void collect(const char *line)
    {
        std::lock_guard<std::mutex> lock(mutex());
        store().emplace_back(line);
    }
};
