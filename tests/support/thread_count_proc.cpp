#include "thread_count.h"

#include <filesystem>
#include <mutex>
#include <thread>

size_t thread_count()
{
    static std::once_flag warm;
    std::call_once(warm, [] { std::thread([] {}).join(); });
    size_t n = 0;
    for (const auto &e : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)e;
        n++;
    }
    return n;
}
