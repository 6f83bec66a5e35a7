// Menus: a tree under the Plugins menu, items bound to commands, and what
// choosing an item does.

#include "XPLMMenus.h"
#include "XPLMUtilities.h"
#include "host.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

struct chosen {
    void *menu_ref;
    void *item_ref;
};
std::vector<chosen> choices;

void on_choose(void *menu_ref, void *item_ref)
{
    choices.push_back({menu_ref, item_ref});
}

int phases_seen = 0;
int count_phases(XPLMCommandRef, XPLMCommandPhase, void *)
{
    phases_seen++;
    return 1;
}

class menus : public ::testing::Test {
protected:
    simhost::host h;
    int menu_ref = 0, item_ref = 0;
    XPLMCommandRef cmd = XPLMCreateCommand("test/menu_cmd", "");
    XPLMMenuID sub = nullptr;

    void SetUp() override
    {
        choices.clear();
        phases_seen = 0;
        XPLMRegisterCommandHandler(cmd, count_phases, 1, nullptr);
        XPLMMenuID plugins = XPLMFindPluginsMenu();
        ASSERT_NE(plugins, nullptr);
        ASSERT_EQ(XPLMAppendMenuItem(plugins, "Other", nullptr, 0), 0);
        const int item = XPLMAppendMenuItem(plugins, "Test", nullptr, 0);
        ASSERT_EQ(item, 1);
        sub = XPLMCreateMenu("Test", plugins, item, on_choose, &menu_ref);
        ASSERT_NE(sub, nullptr);
        ASSERT_EQ(XPLMAppendMenuItemWithCommand(sub, "Run", cmd), 0);
        ASSERT_EQ(XPLMAppendMenuItem(sub, "Plain", &item_ref, 0), 1);
    }
};

TEST_F(menus, choosing_an_item_bound_to_a_command_runs_it_once_and_another_calls_the_menu_handler)
{
    ASSERT_TRUE(h.choose_menu({"Test", "Run"})) << h.error();
    EXPECT_EQ(phases_seen, 2) << "begin and end";
    EXPECT_TRUE(choices.empty());

    ASSERT_TRUE(h.choose_menu({"Test", "Plain"})) << h.error();
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].menu_ref, &menu_ref);
    EXPECT_EQ(choices[0].item_ref, &item_ref);
    EXPECT_THAT(h.menu_lines(),
                ElementsAre("Plugins", "  Other", "  Test", "    Run -> test/menu_cmd", "    Plain"));
}

TEST_F(menus, removing_an_item_moves_the_later_ones_up_and_destroying_a_menu_takes_its_items)
{
    XPLMRemoveMenuItem(sub, 0);
    ASSERT_TRUE(h.choose_menu({"Test", "Plain"}));
    EXPECT_FALSE(h.choose_menu({"Test", "Run"}));
    XPLMRemoveMenuItem(sub, 0);
    EXPECT_THAT(h.menu_lines(), ElementsAre("Plugins", "  Other", "  Test"));

    XPLMDestroyMenu(sub);
    EXPECT_FALSE(h.choose_menu({"Test", "Plain"}));
    EXPECT_THAT(h.error(), HasSubstr("has no sub-menu"));
    EXPECT_TRUE(h.unexpected_calls().empty());
    // The handle is dead now: using it is noted, never followed.
    EXPECT_EQ(XPLMAppendMenuItem(sub, "Late", nullptr, 0), -1);
    XPLMDestroyMenu(sub);
    EXPECT_THAT(h.unexpected_calls(), ElementsAre("XPLMAppendMenuItem", "XPLMDestroyMenu"));
}

TEST_F(menus, a_path_that_leads_nowhere_is_refused_with_a_reason)
{
    struct bad_path {
        std::vector<std::string> path;
        const char *reason;
    };
    const bad_path cases[] = {
        {{}, "an empty menu path"},
        {{"Nope"}, "no item \"Nope\" in the menu Plugins"},
        {{"Test", "Nope"}, "no item \"Nope\" in the menu Plugins > Test"},
        {{"Test"}, "opens a sub-menu"},
        {{"Other", "Run"}, "has no sub-menu"},
    };
    for (const bad_path &c : cases) {
        EXPECT_FALSE(h.choose_menu(c.path));
        EXPECT_THAT(h.error(), HasSubstr(c.reason));
    }
    EXPECT_EQ(phases_seen, 0);
    EXPECT_TRUE(choices.empty());
}

TEST_F(menus, bad_parents_and_unknown_commands_are_noted_and_make_nothing)
{
    EXPECT_EQ(XPLMCreateMenu("x", XPLMFindPluginsMenu(), 9, nullptr, nullptr), nullptr);
    int not_a_command = 0;
    EXPECT_EQ(XPLMAppendMenuItemWithCommand(sub, "x", &not_a_command), -1);
    XPLMRemoveMenuItem(sub, 5);
    EXPECT_THAT(h.unexpected_calls(),
                ElementsAre("XPLMCreateMenu", "XPLMAppendMenuItemWithCommand", "XPLMRemoveMenuItem"));
    EXPECT_THAT(h.menu_lines(),
                ElementsAre("Plugins", "  Other", "  Test", "    Run -> test/menu_cmd", "    Plain"));
}

} // namespace
