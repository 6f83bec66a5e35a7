// Hot-spots: which one a display point hits, and looking up their commands.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "windows/popup.h"
#include "xplm_stand_in.h"

namespace {

// The simulator's commands as far as these tests need them.
std::map<std::string, int> known_commands = {
    {"sim/radios/com1_flip", 1}, {"sim/knob/up", 2}, {"sim/knob/dn", 3}};

hotspot button(double x, double y, double w, double h, const char *cmd = "")
{
    hotspot s;
    s.x = x;
    s.y = y;
    s.w = w;
    s.h = h;
    s.cmd_name = cmd;
    return s;
}

} // namespace

XPLMCommandRef XPLMFindCommand(const char *name)
{
    auto it = known_commands.find(name);
    return it == known_commands.end() ? nullptr : &it->second;
}
XPLM_STAND_IN(XPLMFindCommand)

TEST(hotspots, a_point_hits_only_strictly_inside_and_the_first_in_list_order_wins)
{
    hotspot a = button(100, 100, 20, 10); // x 90..110, y 95..105
    hotspot b = button(105, 100, 20, 10); // overlaps a's right half
    popup pup{};
    EXPECT_EQ(find_hotspot(&pup, 100, 100), nullptr) << "no hot-spots, nothing hit";
    pup.hotspots = {&a, &b};

    struct {
        double x, y;
        hotspot *hit;
    } cases[] = {
        {100, 100, &a},    {90, 100, nullptr},  {90.001, 100, &a},     {100, 95, nullptr},
        {100, 104.99, &a}, {108, 100, &a},      {112, 100, &b},        {115, 100, nullptr},
        {114.99, 100, &b}, {105, 105, nullptr}, {-100, -100, nullptr},
    };
    for (const auto &c : cases)
        EXPECT_EQ(find_hotspot(&pup, c.x, c.y), c.hit) << c.x << "," << c.y;

    pup.hotspots = {&b, &a};
    EXPECT_EQ(find_hotspot(&pup, 100, 100), &b) << "list order, not size or position, decides";
    EXPECT_EQ(find_hotspot(nullptr, 100, 100), nullptr);
}

TEST(hotspots, commands_are_looked_up_by_kind_and_unknown_names_stay_null)
{
    hotspot single = button(0, 0, 1, 1, "sim/radios/com1_flip");
    hotspot unknown = button(0, 0, 1, 1, "sim/none");
    hotspot knob = button(0, 0, 1, 1);
    knob.single = false;
    knob.cmd_r_name = "sim/knob/up";
    knob.cmd_l_name = "sim/knob/dn";
    popup pup{};
    pup.hotspots = {&single, &unknown, &knob};

    resolve_hotspot_commands(&pup);
    EXPECT_EQ(single.cmd, &known_commands["sim/radios/com1_flip"]);
    EXPECT_EQ(unknown.cmd, nullptr);
    EXPECT_EQ(knob.cmd_r, &known_commands["sim/knob/up"]);
    EXPECT_EQ(knob.cmd_l, &known_commands["sim/knob/dn"]);
    EXPECT_EQ(knob.cmd, nullptr) << "a knob has no single command";
}
