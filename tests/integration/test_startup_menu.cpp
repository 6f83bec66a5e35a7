// The deferred start-up: the command look-up on the 46th flight loop, the
// menu, the monitors and the windows set to open on the 51st, and the menu's
// life across disables.

#include <gmock/gmock.h>

#include "plugin_fixture.h"

using ::testing::ElementsAre;

namespace {

using press = simhost::host::press;

constexpr int startup_loops = 51;

class startup_menu : public plugin_fixture {
protected:
    // The menu lines from our item on, as deep as its sub-menu reaches.
    std::vector<std::string> our_menu() const
    {
        std::vector<std::string> out;
        for (const std::string &line : host.menu_lines())
            if (line.find("KYV Popups") != std::string::npos || line.find("POPUP ->") != std::string::npos ||
                line.find("Display Regions ->") != std::string::npos)
                out.push_back(line);
        return out;
    }

    std::vector<std::string> open_titles() const
    {
        std::vector<std::string> out;
        for (const auto &w : host.windows())
            if (w.visible)
                out.push_back(w.title);
        return out;
    }
};

const std::vector<std::string> one_menu = {
    "  KYV Popups", "    PFD POPUP -> kyv/popup/PFD_NOBEZEL", "    MFD POPUP -> kyv/popup/MFD_NOBEZEL",
    "    PFD2 POPUP -> kyv/popup/PFD_2_NOBEZEL", "    Display Regions -> kyv/popup/regions"};

TEST_F(startup_menu, commands_are_looked_up_on_the_46th_flight_loop_and_the_start_up_runs_on_the_51st)
{
    start_and_enable();
    host.run_frames(45);
    EXPECT_FALSE(logged("Frame 45 Set Render"));
    host.run_frames(1);
    EXPECT_EQ(plugin_messages().back(), "Frame 45 Set Render");
    host.run_frames(4);
    EXPECT_FALSE(logged("Frame 50 Start Render"));
    EXPECT_TRUE(our_menu().empty());
    host.run_frames(1);
    EXPECT_TRUE(logged("Frame 50 Start Render"));
    EXPECT_EQ(our_menu(), one_menu);
}

TEST_F(startup_menu, after_the_start_up_further_flight_loops_change_nothing)
{
    write_settings({{"pfd_nbzl_popup_at_start", 2}, {"mfd_nbzl_popup_at_start", 1}});
    start_and_enable();
    host.run_frames(startup_loops);
    const size_t lines = host.debug_strings().size();
    const auto titles = open_titles();
    host.run_frames(600);
    EXPECT_EQ(host.debug_strings().size(), lines);
    EXPECT_EQ(our_menu(), one_menu);
    EXPECT_EQ(open_titles(), titles);
    EXPECT_EQ(count("Frame 45 Set Render"), 1u);
    EXPECT_EQ(count("Frame 50 Start Render"), 1u);
}

TEST_F(startup_menu, with_the_default_settings_the_start_up_builds_the_menu_and_opens_no_window)
{
    start_and_enable();
    host.run_frames(startup_loops);
    EXPECT_THAT(messages_from("Frame 50 Start Render"),
                ElementsAre("Frame 50 Start Render", "KYV Monitor 0: [L: 0 T: 1080], [R: 1920 B: 0]"));
    EXPECT_TRUE(host.windows().empty());
    EXPECT_EQ(our_menu(), one_menu);
}

struct menu_item_case {
    const char *item;
    const display *shown;
};

class menu_items : public startup_menu, public ::testing::WithParamInterface<menu_item_case> {};

TEST_P(menu_items, choosing_an_item_opens_its_display_and_choosing_it_again_closes_it)
{
    start_and_enable();
    host.run_frames(startup_loops);
    const display &d = *GetParam().shown;
    ASSERT_TRUE(host.choose_menu({"KYV Popups", GetParam().item})) << host.error();
    EXPECT_THAT(open_titles(), ElementsAre(d.title));
    ASSERT_TRUE(host.choose_menu({"KYV Popups", GetParam().item})) << host.error();
    EXPECT_TRUE(open_titles().empty());
    EXPECT_TRUE(window(d.title).has_value()) << "hidden, not destroyed";
}

INSTANTIATE_TEST_SUITE_P(items, menu_items,
                         ::testing::Values(menu_item_case{"PFD POPUP", &pfd},
                                           menu_item_case{"MFD POPUP", &mfd},
                                           menu_item_case{"PFD2 POPUP", &pfd2}),
                         [](const auto &info) { return std::string(info.param.shown->key_prefix) + "item"; });

struct at_start_case {
    const char *name;
    int pfd, mfd, pfd2;
    std::vector<std::string> opened;
};

class opening_at_start : public startup_menu, public ::testing::WithParamInterface<at_start_case> {};

TEST_P(opening_at_start, displays_set_to_open_at_start_open_in_the_order_mfd_pfd_pfd2)
{
    const at_start_case &c = GetParam();
    write_settings({{"pfd_nbzl_popup_at_start", c.pfd},
                    {"mfd_nbzl_popup_at_start", c.mfd},
                    {"pfd_2_nbzl_popup_at_start", c.pfd2}});
    start_and_enable();
    host.run_frames(startup_loops - 1);
    EXPECT_TRUE(host.windows().empty()) << "nothing opens before the 51st flight loop";
    host.run_frames(1);
    EXPECT_EQ(open_titles(), c.opened);
    EXPECT_EQ(host.windows().size(), c.opened.size()) << "a display kept closed gets no window";
}

INSTANTIATE_TEST_SUITE_P(
    settings, opening_at_start,
    ::testing::Values(at_start_case{"all_popped_out", 1, 1, 1, {mfd.title, pfd.title, pfd2.title}},
                      at_start_case{"all_on_monitors", 2, 2, 2, {mfd.title, pfd.title, pfd2.title}},
                      at_start_case{"mixed", 2, 1, 2, {mfd.title, pfd.title, pfd2.title}},
                      at_start_case{"mfd_kept_out", 1, -1, 2, {pfd.title, pfd2.title}},
                      at_start_case{"only_pfd2", 0, -1, 1, {pfd2.title}},
                      at_start_case{"all_kept_out", -1, -1, -1, {}}),
    [](const auto &info) { return std::string(info.param.name); });

class opened_early : public startup_menu, public ::testing::WithParamInterface<int> {};

TEST_P(opened_early, a_window_opened_by_its_command_before_the_start_up_stays_open)
{
    write_settings({{"pfd_nbzl_popup_at_start", GetParam()}, {"mfd_nbzl_popup_at_start", GetParam()}});
    start_and_enable();
    host.run_frames(10);
    ASSERT_TRUE(host.command(pfd.command, press::once)) << host.error();
    host.run_frames(startup_loops - 10);
    EXPECT_THAT(open_titles(), ElementsAre(pfd.title, mfd.title));
    EXPECT_EQ(count("Popup Closed"), 0u);
    EXPECT_EQ(count("In Toggle Popup Callback"), 2u) << "the start-up only opened the MFD";
}

INSTANTIATE_TEST_SUITE_P(popup_at_start, opened_early, ::testing::Values(1, 2));

TEST_F(startup_menu, enable_disable_enable_leaves_exactly_one_menu_with_its_three_items)
{
    start_and_enable();
    host.run_frames(startup_loops);
    ASSERT_EQ(our_menu(), one_menu);
    host.disable();
    EXPECT_EQ(count("Removing KYV Popups Menu"), 1u);
    EXPECT_TRUE(our_menu().empty()) << "nothing of ours left in the menus after a disable";

    ASSERT_TRUE(host.enable()) << host.error();
    host.run_frames(startup_loops);
    EXPECT_EQ(our_menu(), one_menu);
    ASSERT_TRUE(host.choose_menu({"KYV Popups", "MFD POPUP"})) << host.error();
    EXPECT_THAT(open_titles(), ElementsAre(mfd.title)) << "the new items reach the new commands";

    // A later cycle cut short removes nothing more.
    host.disable();
    ASSERT_TRUE(host.enable()) << host.error();
    host.run_frames(20);
    host.disable();
    EXPECT_EQ(count("Removing KYV Popups Menu"), 2u);
    EXPECT_TRUE(our_menu().empty());
}

class early_disable : public startup_menu, public ::testing::WithParamInterface<int> {};

TEST_P(early_disable, a_disable_before_the_51st_flight_loop_builds_no_menu_and_opens_no_window)
{
    write_settings({{"pfd_nbzl_popup_at_start", 1}, {"mfd_nbzl_popup_at_start", 2}});
    start_and_enable();
    host.run_frames(GetParam());
    host.disable();
    host.run_frames(startup_loops);
    EXPECT_FALSE(logged("Frame 50 Start Render"));
    EXPECT_FALSE(logged("In Toggle Popup Callback"));
    EXPECT_FALSE(logged("Removing KYV Popups Menu"));
    EXPECT_TRUE(our_menu().empty());

    // The next enable counts from zero again and builds the one menu.
    ASSERT_TRUE(host.enable()) << host.error();
    host.run_frames(startup_loops - 1);
    EXPECT_TRUE(our_menu().empty());
    host.run_frames(1);
    EXPECT_EQ(our_menu(), one_menu);
    EXPECT_THAT(open_titles(), ElementsAre(mfd.title, pfd.title));
}

INSTANTIATE_TEST_SUITE_P(after_flight_loops, early_disable, ::testing::Values(0, 45, 46, 50));

} // namespace
