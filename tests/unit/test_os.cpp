// Unit tests of the OS layer: thread-local slots, the performance counter.

#include "../../acfutils/os/os.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {
os_tls_key_t g_slot = {};
os_tls_key_t g_other_slot = {};
} // namespace

TEST(OsTls, EmptyBeforeSet)
{
    os_tls_key_t fresh = {};
    EXPECT_EQ(os_tls_get(&fresh), nullptr);
    EXPECT_EQ(os_tls_get(&fresh), nullptr);
}

TEST(OsTls, SetAndGetOnOneThread)
{
    int a = 1, b = 2;
    EXPECT_TRUE(os_tls_set(&g_slot, &a));
    EXPECT_EQ(os_tls_get(&g_slot), &a);
    EXPECT_TRUE(os_tls_set(&g_other_slot, &b));
    EXPECT_EQ(os_tls_get(&g_slot), &a) << "slots are independent";
    EXPECT_EQ(os_tls_get(&g_other_slot), &b);
    EXPECT_TRUE(os_tls_set(&g_slot, nullptr));
    EXPECT_EQ(os_tls_get(&g_slot), nullptr);
}

TEST(OsTls, ValuesArePerThread)
{
    int main_value = 0;
    ASSERT_TRUE(os_tls_set(&g_slot, &main_value));
    std::vector<int> values(8);
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int i = 0; i < 8; i++) {
        threads.emplace_back([&, i] {
            if (os_tls_get(&g_slot) != nullptr)
                failures++; // a new thread starts with an empty slot
            if (!os_tls_set(&g_slot, &values[i]))
                failures++;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (os_tls_get(&g_slot) != &values[i])
                failures++;
        });
    }
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(os_tls_get(&g_slot), &main_value) << "other threads did not touch ours";
}

TEST(OsTls, RaceOnFirstUse)
{
    // Many slots, each first used by many threads at once: each thread must
    // still find its own value, i.e. the key was created exactly once.
    for (int round = 0; round < 50; round++) {
        static os_tls_key_t slots[50];
        os_tls_key_t *slot = &slots[round];
        const int n = 8;
        std::atomic<int> ready{0};
        std::atomic<int> failures{0};
        int values[n];
        std::vector<std::thread> threads;
        for (int i = 0; i < n; i++) {
            threads.emplace_back([&, i] {
                ready++;
                while (ready.load() < n) {
                }
                if (!os_tls_set(slot, &values[i]))
                    failures++;
                for (int k = 0; k < 100; k++) {
                    if (os_tls_get(slot) != &values[i])
                        failures++;
                    std::this_thread::yield();
                }
            });
        }
        for (auto &t : threads)
            t.join();
        ASSERT_EQ(failures.load(), 0) << "round " << round;
        EXPECT_EQ(os_tls_get(slot), nullptr) << "this thread never set it";
    }
}

TEST(OsTls, NullSlot)
{
    EXPECT_EQ(os_tls_get(nullptr), nullptr);
    EXPECT_FALSE(os_tls_set(nullptr, nullptr));
}

namespace {
std::atomic<int> destroyed{0};
void count_destroyed(void *v)
{
    destroyed += *static_cast<int *>(v);
}
} // namespace

TEST(OsTls, EndingThreadsHandTheirValuesToTheDestructorAndDeleteHandsTheCallers)
{
    os_tls_key_t slot = {0, 0, count_destroyed};
    destroyed = 0;
    int own = 100, theirs = 1;
    ASSERT_TRUE(os_tls_set(&slot, &own));
    std::thread([&] { os_tls_set(&slot, &theirs); }).join();
    std::thread([&] { (void)os_tls_get(&slot); }).join();
    EXPECT_EQ(destroyed, 1) << "only the thread that set a value hands it over, once";

    os_tls_delete(&slot);
    EXPECT_EQ(destroyed, 101) << "the caller's value goes to the destructor at delete";
    os_tls_delete(&slot);
    EXPECT_EQ(destroyed, 101) << "a second delete does nothing";

    EXPECT_EQ(os_tls_get(&slot), nullptr) << "a use after delete starts a fresh slot";
    std::thread([&] { os_tls_set(&slot, &theirs); }).join();
    EXPECT_EQ(destroyed, 102);
    os_tls_delete(&slot);
}

TEST(OsPerf, Frequency)
{
    EXPECT_EQ(os_perf_frequency(), 10000000ull);
}

TEST(OsPerf, MonotonicAndRealTime)
{
    uint64_t prev = os_perf_counter();
    EXPECT_GT(prev, 0ull);
    for (int i = 0; i < 100000; i++) {
        uint64_t now = os_perf_counter();
        ASSERT_GE(now, prev);
        prev = now;
    }
    auto t0 = std::chrono::steady_clock::now();
    uint64_t c0 = os_perf_counter();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    uint64_t c1 = os_perf_counter();
    auto t1 = std::chrono::steady_clock::now();
    double counted = (double)(c1 - c0) / (double)os_perf_frequency();
    double measured = std::chrono::duration<double>(t1 - t0).count();
    EXPECT_GE(counted, 0.099);
    EXPECT_LE(counted, measured + 0.001);
}

namespace {
struct hook_call {
    int calls = 0;
    std::string name;
    const unsigned char *pixels = nullptr;
    int width = 0, height = 0, stride = 0, hot_x = 0, hot_y = 0;
} g_hook;
} // namespace

// Exported by this executable (ENABLE_EXPORTS), found by os_cursor_show with
// dlsym(RTLD_DEFAULT, "os_cursor_hook").
extern "C" __attribute__((visibility("default"))) void os_cursor_hook(const char *name,
                                                                      const unsigned char *pixels, int width,
                                                                      int height, int stride, int hot_x,
                                                                      int hot_y)
{
    g_hook.calls++;
    g_hook.name = (name != nullptr ? name : "(null)");
    g_hook.pixels = pixels;
    g_hook.width = width;
    g_hook.height = height;
    g_hook.stride = stride;
    g_hook.hot_x = hot_x;
    g_hook.hot_y = hot_y;
}

TEST(OsCursor, CallsTheHostsHook)
{
    unsigned char pixels[4 * 4 * 4] = {0};
    os_cursor_show(nullptr, "arrow", pixels, 4, 3, 16, 2, 1);
    ASSERT_EQ(g_hook.calls, 1) << "is the executable built with ENABLE_EXPORTS?";
    EXPECT_EQ(g_hook.name, "arrow");
    EXPECT_EQ(g_hook.pixels, pixels);
    EXPECT_EQ(g_hook.width, 4);
    EXPECT_EQ(g_hook.height, 3);
    EXPECT_EQ(g_hook.stride, 16);
    EXPECT_EQ(g_hook.hot_x, 2);
    EXPECT_EQ(g_hook.hot_y, 1);

    os_cursor_show(nullptr, "default", nullptr, 0, 0, 0, 0, 0);
    EXPECT_EQ(g_hook.calls, 2);
    EXPECT_EQ(g_hook.name, "default");
    EXPECT_EQ(g_hook.pixels, nullptr);
}
