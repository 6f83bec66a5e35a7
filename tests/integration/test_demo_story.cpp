// The demo's scenario, played on the real plugin: every step can be done,
// and each leaves the windows where the story says.

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

#include "cfg_file.h"
#include "plugin_fixture.h"
#include "scenario/scenario_runner.h"

using simhost::rect;
using ::testing::IsSupersetOf;

namespace {

class demo_story : public plugin_fixture {
protected:
    simhost::scenario sc;

    void SetUp() override
    {
        plugin_fixture::SetUp();
        std::string error;
        ASSERT_TRUE(simhost::load_scenario(KYV_DEMO_SCENARIO, sc, error)) << error;
        // The story ends with a disable; the test looks at the windows first.
        // The pictures are the demo's business, but the story draws with GL,
        // so every callback of it is checked for the GL state it leaves.
        sc.actions.erase(std::remove_if(sc.actions.begin(), sc.actions.end(),
                                        [](const simhost::scenario_action &a) {
                                            return a.kind == simhost::action_kind::disable ||
                                                   a.kind == simhost::action_kind::screenshot;
                                        }),
                         sc.actions.end());
        ASSERT_TRUE(host.set_frame_rate(sc.fps));
        ASSERT_TRUE(simhost::apply_setup(host, sc, error)) << error;
        host.set_backgrounds(false);
        ASSERT_TRUE(host.init_gl()) << host.error();
    }
};

TEST_F(demo_story, every_step_is_done_and_leaves_the_windows_and_settings_the_story_tells)
{
    start_and_enable();
    std::filesystem::create_directories(std::filesystem::u8path(tmp / "shots"));
    simhost::scenario_runner runner(host, sc, tmp / "shots", nullptr);
    ASSERT_TRUE(runner.run()) << runner.error();

    const auto p = window(pfd.title), m = window(mfd.title), p2 = window(pfd2.title);
    ASSERT_TRUE(p && m && p2);
    EXPECT_EQ(p->geometry, host.to_global(sc.desk.monitors[2])) << "swapped onto the right small screen";
    EXPECT_EQ(m->geometry, host.to_global(sc.desk.monitors[1]));
    EXPECT_EQ(m->geometry.width(), 683);
    EXPECT_TRUE(p2->visible);
    EXPECT_EQ(p2->geometry, (rect{248, 824, 960, 290})) << "dragged, then narrowed to 712 x 534";
    EXPECT_TRUE(p2->popped_out);
    EXPECT_EQ(p2->os, sc.desk.monitors[3]) << "filling the screen the simulator does not run on";

    EXPECT_THAT(
        plugin_messages(),
        IsSupersetOf({"Frame 50 Start Render", "KYV: Setting Monitor 1 to PFD",
                      "KYV: Setting Monitor 2 to MFD", "Attempting KYV Screen Swap",
                      "Drag Window KYV G1000 PFD 2 Bezelless", "Resize Window KYV G1000 PFD 2 Bezelless",
                      "PFD Picture: Cockpit Device G1000 PFD 1", "MFD Picture: Cockpit Device G1000 MFD"}));
    EXPECT_EQ(count("PFD2 Picture: Panel (2048, 0, 1024, 768) built in"), 3u)
        << "at the enable, the G1000 aircraft and the third-party one";
    EXPECT_EQ(count("PFD Picture: Panel (100, 1802, 797, 598) from settings/aircraft/Baron 58.acf.cfg"), 2u)
        << "at the save and when the aircraft loaded again";
    EXPECT_TRUE(std::filesystem::is_regular_file(
        std::filesystem::u8path(settings_dir + "/aircraft/Baron 58.acf.cfg")));

    ASSERT_TRUE(host.disable()) << host.error();
    const std::string cfg = read_file(cfg_path);
    for (const char *line :
         {"pfd_nbzl_popup_at_start = 2", "pfd_nbzl_monitor_start = 2", "mfd_nbzl_popup_at_start = 2",
          "mfd_nbzl_monitor_start = 1", "pfd_2_nbzl_x = -1024", "pfd_2_nbzl_y = 0", "pfd_2_nbzl_w = 1024",
          "pfd_2_nbzl_h = 768", "pfd_2_nbzl_popup_at_start = 1"})
        EXPECT_NE(cfg.find(line), std::string::npos) << line << "\n" << cfg;
}

} // namespace
