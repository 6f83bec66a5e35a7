// Commands: one handle per name, handlers in the simulator's order, a handler
// that stops the rest, and the phases of a held command.

#include "XPLMUtilities.h"
#include "host.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

using ::testing::ElementsAre;

namespace {

struct handler_tag {
    std::vector<std::string> *calls;
    std::string id;
    int result;
};

int record(XPLMCommandRef, XPLMCommandPhase phase, void *refcon)
{
    auto *t = static_cast<handler_tag *>(refcon);
    t->calls->push_back(t->id + ":" + std::to_string(phase));
    return t->result;
}

class commands : public ::testing::Test {
protected:
    simhost::host h;
    std::vector<std::string> calls;
    XPLMCommandRef cmd = XPLMCreateCommand("test/cmd", "A command the tests run");
};

TEST_F(commands, creating_a_name_twice_returns_the_same_command_and_find_knows_only_created_names)
{
    ASSERT_NE(cmd, nullptr);
    EXPECT_EQ(XPLMCreateCommand("test/cmd", "another description"), cmd);
    EXPECT_EQ(XPLMFindCommand("test/cmd"), cmd);
    EXPECT_NE(XPLMCreateCommand("test/other", ""), cmd);
    EXPECT_EQ(XPLMFindCommand("test/none"), nullptr);
    EXPECT_EQ(XPLMFindCommand(nullptr), nullptr);
    EXPECT_TRUE(h.command_exists("test/other"));
    EXPECT_EQ(h.command_description("test/cmd"), "A command the tests run") << "the first description stays";
    EXPECT_EQ(h.command_description("test/none"), "");
    EXPECT_TRUE(h.unexpected_calls().empty());
}

TEST_F(commands, before_handlers_run_first_then_the_simulator_then_after_handlers_each_in_registration_order)
{
    handler_tag a1{&calls, "after1", 1}, b1{&calls, "before1", 1}, a2{&calls, "after2", 1},
        b2{&calls, "before2", 1};
    XPLMRegisterCommandHandler(cmd, record, 0, &a1);
    XPLMRegisterCommandHandler(cmd, record, 1, &b1);
    XPLMRegisterCommandHandler(cmd, record, 0, &a2);
    XPLMRegisterCommandHandler(cmd, record, 1, &b2);
    XPLMCommandOnce(cmd);
    EXPECT_THAT(calls, ElementsAre("before1:0", "before2:0", "after1:0", "after2:0", "before1:2", "before2:2",
                                   "after1:2", "after2:2"));
    EXPECT_EQ(h.command_reached_sim("test/cmd"), 2);
}

TEST_F(commands, a_handler_returning_0_stops_the_handlers_after_it_and_a_before_one_stops_the_simulator_too)
{
    handler_tag stop_before{&calls, "b", 0}, after{&calls, "a", 1};
    XPLMRegisterCommandHandler(cmd, record, 1, &stop_before);
    XPLMRegisterCommandHandler(cmd, record, 0, &after);
    XPLMCommandOnce(cmd);
    EXPECT_THAT(calls, ElementsAre("b:0", "b:2"));
    EXPECT_EQ(h.command_reached_sim("test/cmd"), 0);

    calls.clear();
    XPLMUnregisterCommandHandler(cmd, record, 1, &stop_before);
    handler_tag stop_after{&calls, "a0", 0};
    XPLMRegisterCommandHandler(cmd, record, 0, &stop_after);
    XPLMCommandOnce(cmd);
    EXPECT_THAT(calls, ElementsAre("a:0", "a0:0", "a:2", "a0:2"));
    EXPECT_EQ(h.command_reached_sim("test/cmd"), 2);
}

TEST_F(commands, a_held_command_runs_begin_then_continue_each_frame_then_end)
{
    handler_tag t{&calls, "h", 1};
    XPLMRegisterCommandHandler(cmd, record, 1, &t);
    XPLMCommandBegin(cmd);
    EXPECT_TRUE(h.command_held("test/cmd"));
    h.run_frames(3);
    XPLMCommandEnd(cmd);
    h.run_frames(2);
    EXPECT_FALSE(h.command_held("test/cmd"));
    EXPECT_THAT(calls, ElementsAre("h:0", "h:1", "h:1", "h:1", "h:2"));

    calls.clear();
    ASSERT_TRUE(h.command("test/cmd", simhost::host::press::begin));
    h.run_frames(1);
    ASSERT_TRUE(h.command("test/cmd", simhost::host::press::end));
    EXPECT_THAT(calls, ElementsAre("h:0", "h:1", "h:2"));
}

TEST_F(commands, presses_that_make_no_sense_are_refused_with_a_reason_and_noted_when_the_plugin_makes_them)
{
    EXPECT_FALSE(h.command("test/none", simhost::host::press::once));
    EXPECT_EQ(h.error(), "no command test/none");
    EXPECT_FALSE(h.command("test/cmd", simhost::host::press::end));
    EXPECT_EQ(h.error(), "command test/cmd is not held");
    ASSERT_TRUE(h.command("test/cmd", simhost::host::press::begin));
    EXPECT_FALSE(h.command("test/cmd", simhost::host::press::begin));
    EXPECT_EQ(h.error(), "command test/cmd is held already");

    int not_a_command = 0;
    XPLMCommandOnce(&not_a_command);
    XPLMCommandBegin(cmd);
    XPLMRegisterCommandHandler(cmd, nullptr, 1, nullptr);
    XPLMUnregisterCommandHandler(cmd, record, 1, nullptr);
    EXPECT_THAT(h.unexpected_calls(),
                ElementsAre("XPLMCommandOnce", "XPLMCommandBegin", "XPLMRegisterCommandHandler",
                            "XPLMUnregisterCommandHandler"));
}

int unregister_self(XPLMCommandRef c, XPLMCommandPhase phase, void *refcon)
{
    record(c, phase, refcon);
    XPLMUnregisterCommandHandler(c, unregister_self, 1, refcon);
    return 1;
}

TEST_F(commands, a_handler_may_unregister_itself_while_it_runs_and_is_not_called_again)
{
    handler_tag self{&calls, "self", 1}, other{&calls, "other", 1};
    XPLMRegisterCommandHandler(cmd, unregister_self, 1, &self);
    XPLMRegisterCommandHandler(cmd, record, 1, &other);
    XPLMCommandOnce(cmd);
    EXPECT_THAT(calls, ElementsAre("self:0", "other:0", "other:2"));
    EXPECT_EQ(h.command_handler_count(), 1u);
}

} // namespace
