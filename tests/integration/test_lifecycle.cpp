#include <gtest/gtest.h>

#include <cstdint>
#include <regex>

#include "XPLMPlugin.h"

#include "plugin_fixture.h"

namespace {

using lifecycle = plugin_fixture;

// Keeps only the lines the entry points themselves write, in order.
std::vector<std::string> only(const std::vector<std::string> &msgs, const std::vector<std::string> &wanted)
{
    std::vector<std::string> out;
    for (const auto &m : msgs)
        if (std::find(wanted.begin(), wanted.end(), m) != wanted.end())
            out.push_back(m);
    return out;
}

TEST_F(lifecycle, the_plugin_identifies_itself_and_asks_for_native_paths)
{
    load_and_start();
    EXPECT_EQ(host.plugin_name(), "Custom Popups by Orvanex, created for Tessaline");
    EXPECT_EQ(host.plugin_signature(), "qzt.KYVPopup");
    EXPECT_EQ(host.plugin_description(), "Custom Popups for X-Plane");
    EXPECT_TRUE(host.feature_enabled("XPLM_USE_NATIVE_PATHS"));
}

TEST_F(lifecycle, start_enable_disable_stop_log_their_steps_in_order)
{
    start_and_enable();
    host.run_frames(3);
    host.disable();
    host.stop();

    const std::vector<std::string> steps = {
        "This is custom window popups for X-Plane for Tessaline created by Orvanex",
        "Start Drawing Processes",
        "Startup Completed",
        "Starting GLEW",
        "Starting CRC64",
        "XPLMStart Complete",
        "XPLMEnable",
        native_path(plugin_dir + "/"),
        "Settings and Failures",
        "G1000 Popup Init",
        "XPLMEnable Complete",
        "XPLMDisable",
        "Unregistering FLC - EF",
        "Unregistering G1000 Popups",
        "Unregistering Draw Callbacks",
        "XPLMDisable Complete",
        "XPLMStop",
        "XPLMStop Complete",
    };
    const auto msgs = plugin_messages();
    EXPECT_EQ(only(msgs, steps), steps);

    ASSERT_GE(msgs.size(), 2u);
    EXPECT_TRUE(std::regex_match(
        msgs[1],
        std::regex(R"(Version 3\.0\.1 \| Compiled On: [A-Z][a-z]{2} [ 0-9]\d \d{4} \d\d:\d\d:\d\d)")))
        << msgs[1];
}

TEST_F(lifecycle, enable_registers_one_flight_loop_and_disable_removes_it)
{
    load_and_start();
    EXPECT_EQ(host.flight_loop_count(), 0u);
    ASSERT_TRUE(host.enable());
    EXPECT_EQ(host.flight_loop_count(), 1u);
    host.run_frames(60);
    host.disable();
    EXPECT_EQ(host.flight_loop_count(), 0u);
}

TEST_F(lifecycle, disable_and_enable_again_repeat_the_whole_enable_sequence)
{
    start_and_enable();
    host.disable();
    ASSERT_TRUE(host.enable());
    const auto msgs = plugin_messages();
    EXPECT_EQ(std::count(msgs.begin(), msgs.end(), "XPLMEnable Complete"), 2);
    EXPECT_EQ(std::count(msgs.begin(), msgs.end(), native_path(plugin_dir + "/")), 2);
    EXPECT_EQ(host.flight_loop_count(), 1u);
}

TEST_F(lifecycle, stop_only_logs)
{
    start_and_enable();
    host.disable();
    const size_t before = host.debug_strings().size();
    host.stop();
    const auto msgs = plugin_messages();
    ASSERT_EQ(host.debug_strings().size(), before + 2);
    EXPECT_EQ(msgs[msgs.size() - 2], "XPLMStop");
    EXPECT_EQ(msgs.back(), "XPLMStop Complete");
}

TEST_F(lifecycle, messages_from_other_plugins_are_ignored)
{
    start_and_enable();
    const size_t before = host.debug_strings().size();
    // All but the one it reads: the user's aircraft (index 0) loaded.
    for (int msg : {101, 103, 104, 105, 106, 107, 108, 0x8000000})
        host.send_message(0, msg, nullptr);
    host.send_message(0, XPLM_MSG_PLANE_LOADED, reinterpret_cast<void *>(intptr_t{1}));
    EXPECT_EQ(host.debug_strings().size(), before);
}

TEST_F(lifecycle, the_plugin_calls_nothing_the_simulator_does_not_offer)
{
    start_and_enable();
    host.run_frames(120);
    host.disable();
    host.stop();
    EXPECT_TRUE(host.unexpected_calls().empty()) << host.unexpected_calls().front();
}

} // namespace
