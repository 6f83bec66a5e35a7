// The plugin's life through the host: the simulator's order, refusals of any
// other, and what happens when the plugin declines to start or enable.

#include "host.h"
#include "host_test_support.h"

#include <gmock/gmock.h>

#include <memory>

using namespace host_test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class lifecycle : public ::testing::Test {
protected:
    temp_dir tmp;
    fs::path folder = install_plugin(tmp / "kyv_pop", HOST_TEST_PLUGIN);
    std::unique_ptr<simhost::host> h = std::make_unique<simhost::host>();

    std::vector<std::string> lines() const { return plugin_lines(h->debug_strings()); }
};

TEST_F(lifecycle, runs_start_enable_frames_disable_stop_unload_in_the_simulators_order)
{
    ASSERT_TRUE(h->load_plugin_folder(folder.string())) << h->error();
    ASSERT_TRUE(h->start()) << h->error();
    ASSERT_TRUE(h->enable()) << h->error();
    EXPECT_TRUE(h->plugin_enabled());
    h->run_frames(3);
    ASSERT_TRUE(h->disable()) << h->error();
    ASSERT_TRUE(h->stop()) << h->error();
    ASSERT_TRUE(h->unload()) << h->error();
    EXPECT_FALSE(h->plugin_loaded());

    std::vector<std::string> got = lines();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0], "start, id 1, buffers clean");
    EXPECT_THAT(got[1], HasSubstr("enable, path "));
    EXPECT_EQ(got[2], "disable after 3 flight loops, 0 draws");
    EXPECT_EQ(got[3], "stop");
    EXPECT_TRUE(h->error().empty());
}

TEST_F(lifecycle, destroying_the_host_disables_stops_and_unloads_an_enabled_plugin)
{
    std::string log = tmp / "Log.txt";
    ASSERT_TRUE(h->set_log_file(log));
    ASSERT_TRUE(h->load_plugin_folder(folder.string()) && h->start() && h->enable()) << h->error();
    h.reset();

    std::string text = read_file(log);
    EXPECT_THAT(text, HasSubstr("test plugin: disable"));
    EXPECT_THAT(text, HasSubstr("test plugin: stop"));
    EXPECT_LT(text.find("disable"), text.find("stop"));
}

TEST_F(lifecycle, a_start_that_returns_0_leaves_a_plugin_that_can_only_be_unloaded)
{
    h->set_int_dataref("simhost_test/start_result", 0);
    ASSERT_TRUE(h->load_plugin_folder(folder.string()));
    EXPECT_FALSE(h->start());
    EXPECT_THAT(h->error(), HasSubstr("XPluginStart"));
    EXPECT_FALSE(h->start());
    EXPECT_FALSE(h->enable());
    EXPECT_FALSE(h->stop());
    EXPECT_TRUE(h->unload()) << h->error();
    // The simulator never stops a plugin that did not start.
    EXPECT_THAT(lines(), ElementsAre("start, id 1, buffers clean"));
}

TEST_F(lifecycle, an_enable_that_does_not_return_1_leaves_the_plugin_disabled_but_stoppable)
{
    h->set_int_dataref("simhost_test/enable_result", 0);
    ASSERT_TRUE(h->load_plugin_folder(folder.string()) && h->start());
    EXPECT_FALSE(h->enable());
    EXPECT_EQ(h->error(), "XPluginEnable returned 0");
    EXPECT_FALSE(h->plugin_enabled());
    EXPECT_TRUE(h->stop()) << h->error();
}

TEST_F(lifecycle, the_plugins_callbacks_run_only_while_it_is_enabled)
{
    h->set_screen_size(16, 16);
    ASSERT_TRUE(h->init_gl()) << h->error();
    ASSERT_TRUE(h->load_plugin_folder(folder.string()) && h->start());
    ASSERT_EQ(h->draw_callback_count(), 1u);
    h->run_frames(2);
    ASSERT_TRUE(h->enable());
    h->run_frames(3);
    ASSERT_TRUE(h->disable());
    h->run_frames(2);
    EXPECT_TRUE(contains(lines(), "disable after 3 flight loops, 3 draws"));
}

TEST_F(lifecycle, callbacks_left_registered_at_stop_are_dropped_with_a_note)
{
    h->set_int_dataref("simhost_test/leak_at_stop", 1);
    ASSERT_TRUE(h->load_plugin_folder(folder.string()) && h->start() && h->enable() && h->disable());
    ASSERT_TRUE(h->stop());
    EXPECT_EQ(h->draw_callback_count(), 0u);
    EXPECT_TRUE(
        contains(h->host_messages(), "left 0 flight loop(s), 1 draw callback(s) and 0 command handler(s)"));
}

TEST_F(lifecycle, send_message_reaches_xplugin_receive_message)
{
    int param = 0;
    EXPECT_FALSE(h->send_message(0, 42, &param));
    ASSERT_TRUE(h->load_plugin_folder(folder.string()) && h->start());
    EXPECT_TRUE(h->send_message(0, 42, &param));
    EXPECT_TRUE(contains(lines(), "message 42 from 0"));
}

enum class op { load, start, enable, disable, stop, unload };

struct refusal {
    const char *name;
    std::vector<op> before;
    op call;
    const char *error;
};

void PrintTo(const refusal &c, std::ostream *os)
{
    *os << c.name;
}

class lifecycle_refusal : public lifecycle, public ::testing::WithParamInterface<refusal> {
protected:
    bool apply(op o)
    {
        switch (o) {
        case op::load:
            return h->load_plugin_folder(folder.string());
        case op::start:
            return h->start();
        case op::enable:
            return h->enable();
        case op::disable:
            return h->disable();
        case op::stop:
            return h->stop();
        case op::unload:
            return h->unload();
        }
        return false;
    }
};

TEST_P(lifecycle_refusal, refuses_a_call_out_of_order_without_reaching_the_plugin)
{
    for (op o : GetParam().before)
        ASSERT_TRUE(apply(o)) << h->error();
    size_t lines_before = h->debug_strings().size();
    EXPECT_FALSE(apply(GetParam().call));
    EXPECT_THAT(h->error(), HasSubstr(GetParam().error));
    EXPECT_EQ(h->debug_strings().size(), lines_before);
}

INSTANTIATE_TEST_SUITE_P(
    order, lifecycle_refusal,
    ::testing::Values(
        refusal{"start_with_nothing_loaded", {}, op::start, "not loaded"},
        refusal{"enable_before_start", {op::load}, op::enable, "loaded but not started"},
        refusal{"stop_before_start", {op::load}, op::stop, "loaded but not started"},
        refusal{"start_twice", {op::load, op::start}, op::start, "is started"},
        refusal{"disable_when_not_enabled", {op::load, op::start}, op::disable, "must be enabled"},
        refusal{"enable_twice", {op::load, op::start, op::enable}, op::enable, "is enabled"},
        refusal{"stop_while_enabled", {op::load, op::start, op::enable}, op::stop, "is enabled"},
        refusal{"unload_while_enabled", {op::load, op::start, op::enable}, op::unload, "stopped first"},
        refusal{"unload_while_started", {op::load, op::start}, op::unload, "stopped first"},
        refusal{"enable_after_stop", {op::load, op::start, op::stop}, op::enable, "is stopped"},
        refusal{"load_while_loaded", {op::load}, op::load, "loaded already"},
        refusal{"unload_with_nothing_loaded", {}, op::unload, "nothing to unload"}),
    [](const ::testing::TestParamInfo<refusal> &info) { return std::string(info.param.name); });

} // namespace
