#include "thread_count.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool ours(const std::string &name)
{
    return name.rfind("lacf_", 0) == 0 || name.rfind("kyv_", 0) == 0;
}

} // namespace

size_t thread_count()
{
    size_t n = 0;
    std::error_code ec;
    for (const auto &e : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::ifstream comm(e.path() / "comm");
        std::string name;
        // A thread that ended since the listing has no name to read.
        if (std::getline(comm, name) && ours(name))
            n++;
    }
    return n;
}
