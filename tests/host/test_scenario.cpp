// Scenario files: what a good one turns into, and where a bad one is reported.

#include "XPLMDisplay.h"
#include "host_test_support.h"
#include "scenario/scenario.h"
#include "scenario/scenario_runner.h"
#include "temp_dir.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <cstring>
#include <ostream>
#include <tuple>

namespace simhost {

// In the type's namespace so that gtest finds them for its messages.
bool operator==(const scenario_action &l, const scenario_action &r)
{
    auto fields = [](const scenario_action &a) {
        return std::tie(a.frame, a.kind, a.name, a.menu_path, a.x, a.y, a.x2, a.y2, a.value, a.frames,
                        a.line);
    };
    return fields(l) == fields(r);
}

void PrintTo(const scenario_action &a, std::ostream *os)
{
    *os << "line " << a.line << ": " << describe(a) << " (x2 " << a.x2 << ", y2 " << a.y2 << ", frames "
        << a.frames << ")";
}

} // namespace simhost

using namespace simhost;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

scenario parsed(const std::string &text)
{
    scenario s;
    std::string error;
    EXPECT_TRUE(parse_scenario(text, "demo.txt", s, error)) << error;
    return s;
}

scenario_action action(long frame, action_kind kind, int line)
{
    scenario_action a;
    a.frame = frame;
    a.kind = kind;
    a.line = line;
    return a;
}

TEST(scenario, reads_every_keyword_and_action_into_the_exact_structure)
{
    scenario s = parsed("# demo\n"
                        "monitor 0 0 1920 1080\n"
                        "monitor -1280 100 1280 1024   # left of the main one\n"
                        "monitor 0 1080 1920 1080      # above it\n"
                        "\n"
                        "fps 30\n"
                        "frames 90\n"
                        "at 0 command sim/a\n"
                        "at 1 command sim/b begin\n"
                        "at 2 command sim/b end\n"
                        "at 3 hold sim/c 5\n"
                        "at 4 menu KYV Popups > PFD2 POPUP\n"
                        "at 5 mouse -10 20\n"
                        "at 6 click 30 -40\n"
                        "at 7 drag 1 2 3 4\n"
                        "at 8 drag 1 2 3 4 7\n"
                        "at 9 rightclick 5 6\n"
                        "\tat 10\tset sim/d -3\n"
                        "at 11 disable\n"
                        "at 12 enable\n"
                        "at 13 screenshot\n"
                        "at 14 screenshot after-menu_2.x\n"
                        "at 15 osmove 2 -10 20\n"
                        "at 16 osresize 2 300 200\n"
                        "scale 150\n"
                        "fullscreen 0 2 main 2\n"
                        "offset 5 -6\n"
                        "popped_geometry last_floating\n"
                        "popout_delay off\n");
    EXPECT_EQ(s.file, "demo.txt");
    ASSERT_EQ(s.desk.monitors.size(), 3u);
    EXPECT_EQ(std::tie(s.desk.monitors[0].left, s.desk.monitors[0].top, s.desk.monitors[0].right,
                       s.desk.monitors[0].bottom),
              std::make_tuple(0, 1080, 1920, 0));
    EXPECT_EQ(std::tie(s.desk.monitors[1].left, s.desk.monitors[1].top, s.desk.monitors[1].right,
                       s.desk.monitors[1].bottom),
              std::make_tuple(-1280, 1124, 0, 100));
    EXPECT_EQ(std::tie(s.desk.monitors[2].left, s.desk.monitors[2].top, s.desk.monitors[2].right,
                       s.desk.monitors[2].bottom),
              std::make_tuple(0, 2160, 1920, 1080));
    EXPECT_EQ(s.fps, 30);
    EXPECT_EQ(s.frames, 90);
    EXPECT_EQ(s.desk.scale, 150);
    EXPECT_THAT(s.desk.full_screen, ElementsAre(0, 2));
    EXPECT_EQ(s.desk.main, 2);
    EXPECT_EQ(std::tie(s.desk.offset_x, s.desk.offset_y), std::make_tuple(5, -6));
    EXPECT_TRUE(s.desk.popped_last_floating);
    EXPECT_FALSE(s.desk.popout_delay);
    EXPECT_FALSE(s.desk.windowed);

    std::vector<scenario_action> want;
    auto add = [&](action_kind kind) -> scenario_action & {
        want.push_back(action(static_cast<long>(want.size()), kind, static_cast<int>(want.size()) + 8));
        return want.back();
    };
    add(action_kind::command_once).name = "sim/a";
    add(action_kind::command_begin).name = "sim/b";
    add(action_kind::command_end).name = "sim/b";
    scenario_action &hold = add(action_kind::hold);
    hold.name = "sim/c";
    hold.frames = 5;
    add(action_kind::menu).menu_path = {"KYV Popups", "PFD2 POPUP"};
    scenario_action &mouse = add(action_kind::mouse);
    std::tie(mouse.x, mouse.y) = std::make_tuple(-10, 20);
    scenario_action &click = add(action_kind::click);
    std::tie(click.x, click.y) = std::make_tuple(30, -40);
    for (long frames : {10, 7}) {
        scenario_action &drag = add(action_kind::drag);
        std::tie(drag.x, drag.y, drag.x2, drag.y2, drag.frames) = std::make_tuple(1, 2, 3, 4, frames);
    }
    scenario_action &right = add(action_kind::right_click);
    std::tie(right.x, right.y) = std::make_tuple(5, 6);
    scenario_action &set = add(action_kind::set_dataref);
    set.name = "sim/d";
    set.value = -3;
    add(action_kind::disable);
    add(action_kind::enable);
    add(action_kind::screenshot).name = "frame13";
    add(action_kind::screenshot).name = "after-menu_2.x";
    for (auto [kind, x, y] : {std::make_tuple(action_kind::os_move, -10, 20),
                              std::make_tuple(action_kind::os_resize, 300, 200)}) {
        scenario_action &os = add(kind);
        std::tie(os.value, os.x, os.y) = std::make_tuple(2, x, y);
    }
    EXPECT_EQ(s.actions, want);
}

TEST(scenario, an_empty_file_keeps_the_defaults)
{
    scenario s = parsed("\n  # nothing here\n");
    EXPECT_EQ(s.desk.monitors, simhost::desk_config{}.monitors) << "the host's one default monitor";
    EXPECT_EQ(s.fps, 60);
    EXPECT_EQ(s.frames, 600);
    EXPECT_TRUE(s.actions.empty());
    EXPECT_TRUE(s.gl.texture_name_reuse);
    EXPECT_FALSE(s.gl.keep_window_depth);
    EXPECT_THAT(s.gl.panel_passes, ::testing::ElementsAre(1, 2));
}

TEST(scenario, reads_the_simulators_gl_habits)
{
    scenario s = parsed("gl name_reuse off\ngl window_depth kept\ngl panel_passes 2\n");
    EXPECT_FALSE(s.gl.texture_name_reuse);
    EXPECT_TRUE(s.gl.keep_window_depth);
    EXPECT_THAT(s.gl.panel_passes, ::testing::ElementsAre(2));
    s = parsed("gl panel_passes none");
    EXPECT_TRUE(s.gl.panel_passes.empty());
}

TEST(scenario, reads_the_simulator_its_aircraft_and_its_devices)
{
    EXPECT_EQ(parsed("").simulator, simhost::sim_version::xp12_1);
    EXPECT_TRUE(parsed("").aircraft.empty()) << "a panel aircraft by default";
    scenario s = parsed("simulator 11\n"
                        "aircraft pfd1 mfd:1280x800\n"
                        "at 1 aircraft none\n"
                        "at 2 aircraft pfd2:800x600 pfd1\n"
                        "at 3 device mfd power 0.5\n"
                        "at 4 device pfd1 drawn off\n");
    EXPECT_EQ(s.simulator, simhost::sim_version::xp11);
    auto devices = [](const simhost::aircraft &v) {
        std::vector<std::tuple<int, int, int>> out;
        for (const simhost::cockpit_device &d : v)
            out.emplace_back(static_cast<int>(d.id), d.width, d.height);
        return out;
    };
    EXPECT_THAT(devices(s.aircraft),
                ElementsAre(std::make_tuple(6, 1024, 768), std::make_tuple(7, 1280, 800)));
    ASSERT_EQ(s.actions.size(), 4u);
    EXPECT_EQ(s.actions[0].kind, action_kind::aircraft);
    EXPECT_TRUE(s.actions[0].devices.empty());
    EXPECT_THAT(devices(s.actions[1].devices),
                ElementsAre(std::make_tuple(8, 800, 600), std::make_tuple(6, 1024, 768)));
    EXPECT_EQ(s.actions[2].kind, action_kind::device_power);
    EXPECT_EQ(s.actions[2].ratio, 0.5);
    EXPECT_EQ(s.actions[3].kind, action_kind::device_drawn);
    EXPECT_FALSE(s.actions[3].on);
    std::vector<std::string> lines;
    for (const scenario_action &a : s.actions)
        lines.push_back(describe(a));
    EXPECT_THAT(lines, ElementsAre("frame 1: aircraft none", "frame 2: aircraft pfd2:800x600 pfd1",
                                   "frame 3: device mfd power 0.5", "frame 4: device pfd1 drawn off"));
}

TEST(scenario, reads_keys_as_typed_on_a_us_keyboard_and_close_boxes_by_title)
{
    scenario s = parsed("at 1 key a\n"
                        "at 1 key A\n"
                        "at 1 key 1 shift\n"
                        "at 1 key \"#\"\n"
                        "at 1 key ? alt\n"
                        "at 1 key LEFT ctrl\n"
                        "at 1 key x ctrl alt\n"
                        "at 1 key RETURN\n"
                        "at 2 closebox \"Display Regions\"\n");
    std::vector<std::tuple<int, int, int>> keys;
    std::vector<std::string> lines;
    for (const scenario_action &a : s.actions) {
        if (a.kind == action_kind::key)
            keys.emplace_back(a.key.key, a.key.vkey, a.key.flags);
        lines.push_back(describe(a));
    }
    EXPECT_THAT(keys, ElementsAre(std::make_tuple('a', 0x41, 0), std::make_tuple('A', 0x41, 1),
                                  std::make_tuple('!', 0x31, 1), std::make_tuple('#', 0x33, 1),
                                  std::make_tuple('?', 0xB8, 3), std::make_tuple(0, 0x25, 4),
                                  std::make_tuple(0, 0x58, 6), std::make_tuple(13, 0x0D, 0)));
    EXPECT_THAT(lines,
                ElementsAre("frame 1: key a", "frame 1: key A", "frame 1: key 1 shift", "frame 1: key \"#\"",
                            "frame 1: key ? alt", "frame 1: key LEFT ctrl", "frame 1: key x ctrl alt",
                            "frame 1: key RETURN", "frame 2: closebox \"Display Regions\""));
}

void record_key(XPLMWindowID, char key, XPLMKeyFlags flags, char vkey, void *refcon, int losing)
{
    static_cast<std::vector<std::string> *>(refcon)->push_back(
        losing != 0 ? "lost"
                    : std::to_string(key) + "/" + std::to_string(vkey) + "/" + std::to_string(flags));
}

TEST(scenario, plays_keys_to_the_focused_window_and_drags_and_closes_a_decorated_one)
{
    simhost::host h;
    std::vector<std::string> keys;
    XPLMCreateWindow_t p = host_test::window_params({100, 300, 400, 100});
    p.decorateAsFloatingWindow = xplm_WindowDecorationRoundRectangle;
    p.handleKeyFunc = record_key;
    p.refcon = &keys;
    XPLMWindowID w = XPLMCreateWindowEx(&p);
    XPLMSetWindowTitle(w, "Display Regions");
    XPLMTakeKeyboardFocus(w);
    scenario s = parsed("frames 9\n"
                        "at 1 key RIGHT\n"
                        "at 2 drag 150 310 170 330 2\n"
                        "at 5 key b shift\n"
                        "at 6 closebox \"Display Regions\"\n"
                        "at 7 key c\n");
    scenario_runner runner(h, s, "", nullptr);
    ASSERT_TRUE(runner.run()) << runner.error();
    EXPECT_THAT(keys, ElementsAre("29/39/8", "29/39/16", "66/66/9", "66/66/17", "lost"));
    rect r;
    XPLMGetWindowGeometry(w, &r.left, &r.top, &r.right, &r.bottom);
    EXPECT_EQ(r, (rect{120, 320, 420, 120})) << "dragged by its title bar";
    EXPECT_EQ(XPLMGetWindowIsVisible(w), 0);

    const scenario closing = parsed("frames 2\nat 1 closebox \"Display Regions\"");
    scenario_runner again(h, closing, "", nullptr);
    EXPECT_FALSE(again.run());
    EXPECT_EQ(again.error(), "demo.txt:2: closebox: no visible window titled \"Display Regions\"");
}

TEST(scenario, reads_an_aircrafts_acf_path_panel_and_faces_in_any_order_after_its_devices)
{
    scenario s = parsed("aircraft mfd panel 3072x3072 acf \"Baron 58.acf\" pfd2 at 0,0,64x48\n"
                        "at 5 aircraft none acf Baron_58.acf panel 2048x2048 pfd at 100,1200,800x600 mfd at "
                        "1000,200,800x600 pfd2 at 1000,1000,800x600 path \"/sims/X 12/Baron_58.acf\"\n"
                        "at 6 aircraft pfd1 mfd\n");
    const aircraft_model def;
    auto faces = [](const aircraft_model &m) {
        std::vector<std::vector<int>> out;
        for (const panel_face &f : m.faces)
            out.push_back({f.x, f.y, f.w, f.h});
        return out;
    };
    ASSERT_EQ(s.aircraft.size(), 1u);
    EXPECT_EQ(s.model.file, "Baron 58.acf");
    EXPECT_EQ(s.model.path, "") << "the default";
    EXPECT_EQ(s.model.panel_height, 3072);
    EXPECT_THAT(faces(s.model), ElementsAre(faces(def)[0], faces(def)[1], std::vector<int>{0, 0, 64, 48}));

    ASSERT_EQ(s.actions.size(), 2u);
    const aircraft_model &m = s.actions[0].model;
    EXPECT_TRUE(s.actions[0].devices.empty());
    EXPECT_EQ(m.file, "Baron_58.acf");
    EXPECT_EQ(m.path, "/sims/X 12/Baron_58.acf");
    EXPECT_EQ(m.panel_height, 2048);
    EXPECT_THAT(faces(m),
                ElementsAre(std::vector<int>{100, 1200, 800, 600}, std::vector<int>{1000, 200, 800, 600},
                            std::vector<int>{1000, 1000, 800, 600}));
    EXPECT_EQ(s.actions[1].devices.size(), 2u);
    EXPECT_EQ(faces(s.actions[1].model), faces(def)) << "parts not given are the defaults";
    EXPECT_EQ(s.actions[1].model.file, def.file);
    EXPECT_EQ(
        describe(s.actions[0]),
        "frame 5: aircraft none acf Baron_58.acf path \"/sims/X 12/Baron_58.acf\" panel 2048x2048 pfd at "
        "100,1200,800x600 mfd at 1000,200,800x600 pfd2 at 1000,1000,800x600");
    EXPECT_EQ(describe(s.actions[1]), "frame 6: aircraft pfd1 mfd");
}

TEST(scenario, turns_seconds_into_the_nearest_frame_with_the_fps_declared_below)
{
    scenario s = parsed("at 0.24s enable\n"
                        "at 0.26s disable\n"
                        "at 2s screenshot\n"
                        "fps 10\n"
                        "frames 20\n");
    ASSERT_EQ(s.actions.size(), 3u);
    EXPECT_EQ(s.actions[0].frame, 2);
    EXPECT_EQ(s.actions[1].frame, 3);
    EXPECT_EQ(s.actions[2].frame, 20);
    EXPECT_EQ(s.actions[2].name, "frame20");
}

TEST(scenario, sorts_actions_by_frame_and_keeps_file_order_within_a_frame)
{
    // Enough actions that an unstable sort would show.
    std::string text = "at 0.5s command s\n"; // frame 30, before the frame number below
    for (int i = 0; i < 40; i++)
        text += "at " + std::to_string(i % 3 * 15) + " command c" + std::to_string(i) + "\n";
    scenario s = parsed(text);
    ASSERT_EQ(s.actions.size(), 41u);
    for (size_t i = 1; i < s.actions.size(); i++) {
        const scenario_action &before = s.actions[i - 1], &after = s.actions[i];
        EXPECT_TRUE(before.frame < after.frame || (before.frame == after.frame && before.line < after.line))
            << describe(before) << " then " << describe(after);
    }
    EXPECT_EQ(s.actions[27].name, "s");
}

TEST(scenario, quoted_tokens_hold_spaces_hashes_escapes_and_literal_menu_separators)
{
    scenario s = parsed("at 1 command \"sim/with space # not a comment\" begin # a comment\n"
                        "at 2 set \"say \\\"hi\\\" \\\\ there\" 1\n"
                        "at 3 menu \"A > B\" Popups > \"#2\"\n"
                        "at 4 menu One>Two\n");
    ASSERT_EQ(s.actions.size(), 4u);
    EXPECT_EQ(s.actions[0].kind, action_kind::command_begin);
    EXPECT_EQ(s.actions[0].name, "sim/with space # not a comment");
    EXPECT_EQ(s.actions[1].name, "say \"hi\" \\ there");
    EXPECT_THAT(s.actions[2].menu_path, ElementsAre("A > B Popups", "#2"));
    EXPECT_THAT(s.actions[3].menu_path, ElementsAre("One", "Two"));
}

struct bad_scenario {
    const char *name;
    const char *text;
    int line;
    const char *says;
};

void PrintTo(const bad_scenario &c, std::ostream *os)
{
    *os << c.name;
}

class scenario_error : public ::testing::TestWithParam<bad_scenario> {};

TEST_P(scenario_error, names_the_line_and_what_is_wrong_and_leaves_the_result_alone)
{
    scenario s;
    s.file = "untouched";
    std::string error;
    EXPECT_FALSE(parse_scenario(GetParam().text, "demo.txt", s, error));
    EXPECT_THAT(error, StartsWith("demo.txt:" + std::to_string(GetParam().line) + ": "));
    EXPECT_THAT(error, HasSubstr(GetParam().says));
    EXPECT_EQ(s.file, "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    bad_input, scenario_error,
    ::testing::Values(
        bad_scenario{"unknown_keyword", "fps 30\n\nfsp 30", 3, "unknown keyword 'fsp'"},
        bad_scenario{"unknown_action", "at 1 clik 1 2", 1, "unknown action 'clik'"},
        bad_scenario{"missing_action", "at 1", 1, "missing <action>"},
        bad_scenario{"missing_argument", "at 1 click 1", 1, "click: missing <y>"},
        bad_scenario{"extra_argument", "at 1 click 1 2 3", 1, "extra argument '3'"},
        bad_scenario{"extra_after_keyword", "frames 10 20", 1, "extra argument '20'"},
        bad_scenario{"not_a_number", "at 1 mouse ten 2", 1, "'ten' is not a whole number"},
        bad_scenario{"trailing_junk", "at 1 mouse 10px 2", 1, "'10px'"},
        bad_scenario{"beyond_int", "at 1 set sim/a 2147483648", 1, "'2147483648' is out of range"},
        bad_scenario{"below_int", "at 1 mouse -2147483649 0", 1, "'-2147483649' is out of range"},
        bad_scenario{"zero_width", "monitor 0 0 0 10", 1, "width must be at least 1, not '0'"},
        bad_scenario{"monitor_past_int", "monitor 2147483000 0 1000 10", 1, "largest coordinate"},
        bad_scenario{"overlapping_monitor", "monitor 0 0 100 100\nmonitor 200 0 50 50\nmonitor 99 99 10 10",
                     3, "overlaps monitor 0 on line 1"},
        bad_scenario{"zero_fps", "fps 0", 1, "fps must be more than 0"},
        bad_scenario{"fps_that_strtod_would_take", "fps 1e2", 1, "fps '1e2' is not a number"},
        bad_scenario{"zero_frames", "frames 0", 1, "frames must be at least 1"},
        bad_scenario{"duplicate_fps", "fps 30\nfps 60", 2, "duplicate 'fps' (first on line 1)"},
        bad_scenario{"duplicate_frames", "frames 3\n#\nframes 3", 3, "duplicate 'frames'"},
        bad_scenario{"unterminated_quote", "at 1 command \"sim/a", 1, "unterminated quote at '\"sim/a'"},
        bad_scenario{"unknown_escape", "at 1 command \"a\\n\"", 1, "backslash"},
        bad_scenario{"stray_quote", "at 1 command a\"b\"", 1, "stray quote in 'a\"b\"'"},
        bad_scenario{"negative_frame", "at -1 enable", 1, "frame must be at least 0, not '-1'"},
        bad_scenario{"bad_seconds", "at -1.5s enable", 1, "time '-1.5s'"},
        bad_scenario{"frame_past_the_end", "at 11 enable\nframes 10", 1,
                     "'11' is past the end of the run (10"},
        bad_scenario{"seconds_past_the_end", "frames 10\nfps 10\nat 0.5s enable\nat 1.06s enable", 4,
                     "'1.06s' is past the end"},
        bad_scenario{"hold_past_the_end", "frames 10\nat 8 hold sim/a 3", 2, "ends at frame 11"},
        bad_scenario{"zero_hold", "at 1 hold sim/a 0", 1, "hold length must be at least 1"},
        bad_scenario{"zero_drag", "at 1 drag 0 0 1 1 0", 1, "drag length must be at least 1"},
        bad_scenario{"command_mode", "at 1 command sim/a press", 1, "not 'press'"},
        bad_scenario{"empty_command", "at 1 command \"\"", 1, "empty <name>"},
        bad_scenario{"menu_without_items", "at 1 menu", 1, "menu: missing <item>"},
        bad_scenario{"menu_leading_separator", "at 1 menu > A", 1, "non-empty items"},
        bad_scenario{"menu_double_separator", "at 1 menu A > > B", 1, "non-empty items"},
        bad_scenario{"menu_trailing_separator", "at 1 menu A>", 1, "non-empty items"},
        bad_scenario{"screenshot_name", "at 1 screenshot ../x", 1, "screenshot name '../x'"},
        bad_scenario{"gl_unknown_habit", "gl fog on", 1, "unknown habit 'fog'"},
        bad_scenario{"gl_habit_word", "gl window_depth deep", 1, "'deep' is neither cleared nor kept"},
        bad_scenario{"gl_no_passes", "gl panel_passes", 1, "gl panel_passes: missing <render type> or none"},
        bad_scenario{"gl_negative_pass", "gl panel_passes 2 -1", 1, "render type must be at least 0"},
        bad_scenario{"main_monitor_off_the_origin", "monitor 10 0 100 100", 1,
                     "must have its lower-left corner"},
        bad_scenario{"full_screen_on_a_missing_monitor", "monitor 0 0 100 100\nfullscreen 0 1", 2,
                     "monitor 1, which does not exist"},
        bad_scenario{"main_not_full_screen", "monitor 0 0 9 9\nmonitor 9 0 9 9\nfullscreen 1 main 0", 3,
                     "not one of the full-screen monitors"},
        bad_scenario{"window_off_the_monitors", "windowed 1900 0 100 100", 1, "on no single monitor"},
        bad_scenario{"windowed_and_full_screen", "fullscreen 0\nwindowed 0 0 10 10", 2, "exclude each other"},
        bad_scenario{"scale", "scale 125", 1, "scale '125' is not 100, 150 or 200"},
        bad_scenario{"popped_geometry", "popped_geometry boxels", 1, "not 'boxels'"},
        bad_scenario{"popout_delay", "popout_delay 1", 1, "expected 'on' or 'off'"},
        bad_scenario{"os_window_zero", "at 1 osmove 0 5 5", 1, "window must be at least 1"},
        bad_scenario{"os_resize_to_nothing", "at 1 osresize 1 0 5", 1, "width must be at least 1"},
        bad_scenario{"simulator_version", "simulator 12.0", 1, "expected '11' or '12.1', not '12.0'"},
        bad_scenario{"duplicate_aircraft", "aircraft none\naircraft mfd", 2, "duplicate 'aircraft'"},
        bad_scenario{"unknown_device", "at 1 aircraft gns430", 1, "unknown device 'gns430'"},
        bad_scenario{"device_twice", "aircraft mfd pfd1 mfd:800x600", 1, "device 'mfd' named twice"},
        bad_scenario{"device_size", "aircraft pfd1:1280", 1, "'1280' is not <width>x<height>"},
        bad_scenario{"device_too_large", "aircraft pfd1:5000x800", 1, "device width '5000' is out of range"},
        bad_scenario{"device_power", "at 1 device mfd power -1", 1, "power ratio '-1' is not a number"},
        bad_scenario{"panel_too_small", "aircraft none panel 63x2048", 1, "panel width must be at least 64"},
        bad_scenario{"panel_too_large", "at 1 aircraft mfd panel 2048x4097", 1,
                     "panel height '4097' is out of range"},
        bad_scenario{"panel_size", "aircraft none panel 2048", 1,
                     "panel size '2048' is not <width>x<height>"},
        bad_scenario{"face_outside_the_panel", "aircraft none panel 2048x2048", 1,
                     "the PFD at 0,2100 of 1024 x 768 is not a rectangle inside the panel of 2048 x 2048"},
        bad_scenario{"face_place", "aircraft none mfd at 10,20", 1,
                     "mfd place '10,20' is not <x>,<y>,<width>x<height>"},
        bad_scenario{"face_negative", "aircraft none pfd at -1,0,10x10", 1, "pfd x must be at least 0"},
        bad_scenario{"face_empty", "aircraft none pfd2 at 0,0,0x10", 1, "pfd2 width must be at least 1"},
        bad_scenario{"unknown_display", "aircraft none pfd3 at 0,0,10x10", 1, "unknown display 'pfd3'"},
        bad_scenario{"part_twice", "aircraft none acf a.acf acf b.acf", 1, "'acf' given twice"},
        bad_scenario{"device_after_the_parts", "aircraft none acf a.acf mfd", 1,
                     "expected acf, path, panel or pfd|mfd|pfd2 at, not 'mfd'"},
        bad_scenario{"missing_acf", "at 1 aircraft none acf", 1, "aircraft: missing <file name>"},
        bad_scenario{"device_action", "at 1 device mfd dim", 1, "expected 'power' or 'drawn', not 'dim'"},
        bad_scenario{"unknown_key", "at 1 key F1", 1, "key 'F1' is neither one printable character nor"},
        bad_scenario{"key_modifier", "at 1 key a meta", 1, "expected 'shift', 'ctrl' or 'alt', not 'meta'"},
        bad_scenario{"closebox_without_title", "at 1 closebox", 1, "closebox: missing <window title>"}),
    [](const ::testing::TestParamInfo<bad_scenario> &info) { return std::string(info.param.name); });

TEST(scenario, describes_actions_in_the_words_of_the_file)
{
    scenario s = parsed("at 60 menu KYV Popups > \"A > B\"\n"
                        "at 1 command \"a b\" end\n"
                        "at 2 drag 1 2 3 4\n"
                        "at 3 screenshot\n");
    std::vector<std::string> lines;
    for (const scenario_action &a : s.actions)
        lines.push_back(describe(a));
    EXPECT_THAT(lines, ElementsAre("frame 1: command \"a b\" end", "frame 2: drag 1 2 3 4 10",
                                   "frame 3: screenshot frame3", "frame 60: menu KYV Popups > \"A > B\""));
}

TEST(scenario, loads_a_file_and_names_it_in_errors)
{
    temp_dir tmp;
    const std::string path = tmp / "run.txt";
    write_file(path, "frames 5\r\nat 5 enable\r\n");
    scenario s;
    std::string error;
    ASSERT_TRUE(load_scenario(path, s, error)) << error;
    EXPECT_EQ(s.file, path);
    EXPECT_EQ(s.frames, 5);
    ASSERT_EQ(s.actions.size(), 1u);

    write_file(path, "frames 5\nat 6 enable\n");
    EXPECT_FALSE(load_scenario(path, s, error));
    EXPECT_THAT(error, StartsWith(path + ":2: "));
}

TEST(scenario, a_file_that_cannot_be_read_says_why)
{
    temp_dir tmp;
    scenario s;
    std::string error;
    EXPECT_FALSE(load_scenario(tmp / "missing.txt", s, error));
    EXPECT_EQ(error, tmp / "missing.txt" + ": cannot read: " + strerror(ENOENT));
    EXPECT_FALSE(load_scenario(tmp.path(), s, error));
#ifdef _WIN32
    const int folder_errno = EACCES; // what Windows' C runtime says for a folder
#else
    const int folder_errno = EISDIR;
#endif
    EXPECT_EQ(error, tmp.path() + ": cannot read: " + strerror(folder_errno));
}

} // namespace
