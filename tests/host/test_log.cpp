// The simulator's log as the host keeps it, and XPLM calls from the wrong thread.

#include "XPLMProcessing.h"
#include "XPLMUtilities.h"
#include "host.h"
#include "host_test_support.h"

#include <gmock/gmock.h>

#include <thread>

using namespace host_test;
using ::testing::ElementsAre;

namespace {

float never_called(float, float, int, void *)
{
    return 0;
}

TEST(host_log, keeps_each_debug_string_as_given_in_order_and_appends_them_to_the_log_file)
{
    temp_dir tmp;
    std::string log = tmp / "Log.txt";
    write_file(log, "earlier run\n");
    simhost::host h;
    ASSERT_TRUE(h.set_log_file(log));
    XPLMDebugString("one ");
    XPLMDebugString("two\n");
    XPLMDebugString(nullptr);
    XPLMDebugString("");
    XPLMDebugString("three\n");
    EXPECT_THAT(h.debug_strings(), ElementsAre("one ", "two\n", "", "three\n"));
    EXPECT_EQ(read_file(log), "earlier run\none two\nthree\n");
}

TEST(host_log, a_log_file_that_cannot_be_opened_is_an_error)
{
    temp_dir tmp;
    simhost::host h;
    EXPECT_FALSE(h.set_log_file(tmp / "no-such-folder/Log.txt"));
    EXPECT_THAT(h.error(), ::testing::HasSubstr("no-such-folder"));
}

TEST(host_log, keeps_debug_strings_from_worker_threads)
{
    simhost::host h;
    XPLMDebugString("main before\n");
    std::thread([] { XPLMDebugString("worker\n"); }).join();
    XPLMDebugString("main after\n");
    EXPECT_THAT(h.debug_strings(), ElementsAre("main before\n", "worker\n", "main after\n"));
    EXPECT_EQ(h.off_thread_calls(), 0u);
}

TEST(host_log, ignores_and_counts_other_xplm_calls_off_the_main_thread)
{
    simhost::host h;
    std::thread([] {
        XPLMRegisterFlightLoopCallback(never_called, -1, nullptr);
        XPLMRegisterFlightLoopCallback(never_called, -1, nullptr);
    }).join();
    EXPECT_EQ(h.flight_loop_count(), 0u);
    EXPECT_EQ(h.off_thread_calls(), 2u);
}

} // namespace
