// Flight loops in simulated time: when each callback runs, what it is told,
// and changes made to the registry from inside a callback.

#include "XPLMProcessing.h"
#include "host.h"

#include <gmock/gmock.h>

#include <limits>
#include <vector>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::FloatNear;

namespace {

struct recorder {
    float next; // what the callback returns
    std::vector<int> counters;
    std::vector<float> since_last_call;
    std::vector<float> since_last_loop;
};

float record(float since_call, float since_loop, int counter, void *refcon)
{
    auto *r = static_cast<recorder *>(refcon);
    r->counters.push_back(counter);
    r->since_last_call.push_back(since_call);
    r->since_last_loop.push_back(since_loop);
    return r->next;
}

struct schedule {
    const char *name;
    double fps;
    float interval;
    float result;
    int frames;
    std::vector<int> called_in;
};

void PrintTo(const schedule &c, std::ostream *os)
{
    *os << c.name;
}

class flight_loop_schedule : public ::testing::TestWithParam<schedule> {};

TEST_P(flight_loop_schedule, calls_the_callback_in_the_expected_frames)
{
    const schedule &c = GetParam();
    simhost::host h;
    ASSERT_TRUE(h.set_frame_rate(c.fps));
    recorder r{c.result, {}, {}, {}};
    XPLMRegisterFlightLoopCallback(record, c.interval, &r);
    h.run_frames(c.frames);
    EXPECT_THAT(r.counters, ElementsAreArray(c.called_in));
    // A callback that stopped itself stays registered until unregistered.
    EXPECT_EQ(h.flight_loop_count(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    intervals, flight_loop_schedule,
    ::testing::Values(schedule{"minus_one_is_every_loop", 60, -1, -1, 5, {1, 2, 3, 4, 5}},
                      schedule{"minus_three_is_every_third_loop", 60, -3, -3, 10, {3, 6, 9}},
                      schedule{"half_a_second_at_60_fps", 60, 0.5f, 0.5f, 120, {30, 60, 90, 120}},
                      schedule{"a_quarter_second_at_20_fps", 20, 0.25f, 0.25f, 20, {5, 10, 15, 20}},
                      schedule{"a_tenth_of_a_second_at_30_fps", 30, 0.1f, 0.1f, 9, {3, 6, 9}},
                      schedule{
                          "seconds_shorter_than_a_frame_mean_every_frame", 60, 0.001f, 0.001f, 3, {1, 2, 3}},
                      schedule{"zero_is_never", 60, 0, -1, 10, {}},
                      schedule{"a_result_of_zero_stops_the_calls", 60, -1, 0, 5, {1}},
                      schedule{"the_result_is_the_next_interval", 60, -1, -2, 6, {1, 3, 5}},
                      schedule{"loops_then_seconds", 10, -2, 0.5f, 12, {2, 7, 12}}),
    [](const ::testing::TestParamInfo<schedule> &info) { return std::string(info.param.name); });

TEST(flight_loops, tell_the_callback_the_time_since_its_last_call_and_since_the_last_loop)
{
    simhost::host h;
    recorder r{-3, {}, {}, {}};
    XPLMRegisterFlightLoopCallback(record, -3, &r);
    h.run_frames(6);
    EXPECT_THAT(r.counters, ElementsAre(3, 6));
    EXPECT_THAT(r.since_last_call, ElementsAre(FloatNear(0.05f, 1e-6f), FloatNear(0.05f, 1e-6f)));
    EXPECT_THAT(r.since_last_loop, ElementsAre(FloatNear(1 / 60.f, 1e-6f), FloatNear(1 / 60.f, 1e-6f)));
}

TEST(flight_loops, simulated_time_is_frames_over_the_frame_rate)
{
    simhost::host h;
    ASSERT_TRUE(h.set_frame_rate(30));
    h.run_frames(90);
    EXPECT_EQ(h.frame_count(), 90);
    EXPECT_NEAR(h.sim_time(), 3.0, 1e-9);
    for (double bad : {0.0, -60.0, std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(h.set_frame_rate(bad)) << bad;
    EXPECT_EQ(h.frame_rate(), 30);
}

TEST(flight_loops, the_same_callback_and_refcon_twice_is_one_entry_with_the_newer_interval)
{
    simhost::host h;
    recorder a{-1, {}, {}, {}}, b{-1, {}, {}, {}};
    XPLMRegisterFlightLoopCallback(record, -1, &a);
    XPLMRegisterFlightLoopCallback(record, -2, &a);
    XPLMRegisterFlightLoopCallback(record, -1, &b);
    EXPECT_EQ(h.flight_loop_count(), 2u);
    h.run_frames(2);
    EXPECT_THAT(a.counters, ElementsAre(2));
    EXPECT_THAT(b.counters, ElementsAre(1, 2));
    XPLMUnregisterFlightLoopCallback(record, &a);
    XPLMUnregisterFlightLoopCallback(record, &a);
    EXPECT_EQ(h.flight_loop_count(), 1u);
}

// Reentrancy: each callback does one thing to the registry when first called.
struct reentrant {
    enum { unregister_self, unregister_other, register_other } action;
    recorder *other;
    int calls = 0;
};

float act(float, float, int, void *refcon)
{
    auto *r = static_cast<reentrant *>(refcon);
    if (r->calls++ == 0) {
        if (r->action == reentrant::unregister_self)
            XPLMUnregisterFlightLoopCallback(act, r);
        else if (r->action == reentrant::unregister_other)
            XPLMUnregisterFlightLoopCallback(record, r->other);
        else
            XPLMRegisterFlightLoopCallback(record, -1, r->other);
    }
    return -1;
}

TEST(flight_loops, a_callback_may_unregister_itself)
{
    simhost::host h;
    reentrant r{reentrant::unregister_self, nullptr};
    XPLMRegisterFlightLoopCallback(act, -1, &r);
    h.run_frames(3);
    EXPECT_EQ(r.calls, 1);
    EXPECT_EQ(h.flight_loop_count(), 0u);
}

TEST(flight_loops, a_callback_unregistered_by_an_earlier_one_is_not_called_in_that_loop)
{
    simhost::host h;
    recorder later{-1, {}, {}, {}};
    reentrant r{reentrant::unregister_other, &later};
    XPLMRegisterFlightLoopCallback(act, -1, &r);
    XPLMRegisterFlightLoopCallback(record, -1, &later);
    h.run_frames(3);
    EXPECT_TRUE(later.counters.empty());
    EXPECT_EQ(h.flight_loop_count(), 1u);
}

TEST(flight_loops, a_callback_registered_from_a_callback_first_runs_in_the_next_loop)
{
    simhost::host h;
    recorder added{-1, {}, {}, {}};
    // Enough entries that the registry must grow while it is being walked.
    std::vector<recorder> others(16, recorder{-1, {}, {}, {}});
    reentrant r{reentrant::register_other, &added};
    XPLMRegisterFlightLoopCallback(act, -1, &r);
    for (recorder &o : others)
        XPLMRegisterFlightLoopCallback(record, -1, &o);
    h.run_frames(3);
    EXPECT_THAT(added.counters, ElementsAre(2, 3));
    EXPECT_THAT(others.back().counters, ElementsAre(1, 2, 3));
    EXPECT_EQ(h.flight_loop_count(), 18u);
}

} // namespace
