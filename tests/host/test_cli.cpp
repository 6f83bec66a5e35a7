// The headless_sim program: what it runs, what it prints, and its exit codes.

#include "host_test_support.h"

#include <gmock/gmock.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <regex>

using namespace host_test;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

struct run_result {
    int exit_code;
    std::string output; // stdout and stderr together
};

std::string read_all(FILE *p)
{
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0)
        out.append(buf, n);
    return out;
}

#ifdef _WIN32
// cmd.exe: double quotes, and the whole line quoted once more so that it
// keeps the inner ones. The text-mode pipe turns the program's CRLF into LF.
std::string shell_quoted(const fs::path &p)
{
    return "\"" + p.u8string() + "\"";
}

run_result run_command(const std::string &cmd)
{
    run_result r{-1, {}};
    FILE *p = _popen(("\"" + cmd + "\"").c_str(), "r");
    if (p == nullptr)
        return r;
    r.output = read_all(p);
    r.exit_code = _pclose(p);
    return r;
}
#else
std::string shell_quoted(const fs::path &p)
{
    return "'" + p.string() + "'";
}

run_result run_command(const std::string &cmd)
{
    run_result r{-1, {}};
    FILE *p = popen(cmd.c_str(), "r");
    if (p == nullptr)
        return r;
    r.output = read_all(p);
    int status = pclose(p);
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}
#endif

run_result run_simhost(const std::string &args)
{
    return run_command(shell_quoted(HEADLESS_SIM_EXE) + " " + args + " 2>&1");
}

// The test plugin's build folder holds its platform folder with its one binary.
std::string test_plugin_folder()
{
    return shell_quoted(fs::path(HOST_TEST_PLUGIN).parent_path().parent_path());
}

TEST(simhost_program, runs_a_plugin_through_its_life_and_sums_up)
{
    run_result r = run_simhost("--plugin " + test_plugin_folder() + " --frames 10 --no-gl");
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("headless_sim: plugin \"Host Test Plugin\" (simhost.test.plugin)"));
    EXPECT_THAT(r.output, HasSubstr("headless_sim: 10 frames at 60 fps, 0.167 s simulated"));
    EXPECT_THAT(r.output, HasSubstr("headless_sim: unexpected calls: none"));
}

TEST(simhost_program, draws_with_gl_at_the_given_frame_rate_and_writes_the_log_file)
{
    temp_dir tmp;
    std::string log = tmp / "Log.txt";
    run_result r = run_simhost("--plugin " + test_plugin_folder() + " --frames 30 --fps 30 --log " +
                               shell_quoted(log) + " --out " + shell_quoted(tmp.path()));
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("30 frames at 30 fps, 1.000 s simulated"));
    std::string text = read_file(log);
    EXPECT_THAT(text, HasSubstr("test plugin: disable after 30 flight loops, 30 draws\n"));
    EXPECT_THAT(text, HasSubstr("test plugin: stop\n"));
}

TEST(simhost_program, sums_up_the_plugins_draw_cost_when_asked)
{
    temp_dir tmp;
    run_result r = run_simhost("--plugin " + test_plugin_folder() + " --frames 5 --timing --out " +
                               shell_quoted(tmp.path()));
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("headless_sim: plugin time per frame over 5 frames, GL work included: "
                                    "draw callbacks median "));
    r = run_simhost("--plugin " + test_plugin_folder() + " --frames 5 --out " + shell_quoted(tmp.path()));
    EXPECT_THAT(r.output, Not(HasSubstr("plugin time per frame")));
}

#ifndef _WIN32
TEST(simhost_program, live_paces_frames_in_real_time_past_the_last_and_stops_the_plugin_at_sigterm)
{
    temp_dir tmp;
    std::string log = tmp / "Log.txt";
    // `timeout` sends SIGTERM after 2 s and hands back the program's own status.
    run_result r = run_command("timeout --preserve-status -s TERM 2 " + shell_quoted(HEADLESS_SIM_EXE) +
                               " --plugin " + test_plugin_folder() +
                               " --live --frames 3 --fps 20 --no-gl --log " + shell_quoted(log) + " 2>&1");
    EXPECT_EQ(r.exit_code, 0) << r.output;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.output, m, std::regex("headless_sim: (\\d+) frames at 20 fps")))
        << r.output;
    const long frames = std::stol(m[1]);
    // About 40 frames in 2 s; far more would mean unpaced, 3 not live.
    EXPECT_GT(frames, 15) << r.output;
    EXPECT_LT(frames, 60) << r.output;
    const std::string text = read_file(log);
    EXPECT_THAT(text, HasSubstr("test plugin: disable after"));
    EXPECT_THAT(text, HasSubstr("test plugin: stop\n"));
}
#endif

// A scenario through the test plugin's command, menu and window.
const char scenario_text[] = R"(# the test plugin's window, opened and clicked
monitor 0 0 640 480
monitor 640 0 320 240
fullscreen 0 1
scale 200
fps 30
frames 12
at 2 command simhost_test/toggle
at 4 click 150 150
at 5 drag 150 150 250 250 2
at 8 menu Host Test > Toggle
at 9 hold simhost_test/toggle 2
at 12 aircraft none acf "Baron 58.acf" panel 2048x2048 pfd at 100,1200,800x600 mfd at 1000,200,800x600 pfd2 at 1000,1000,800x600
at 12 screenshot last
)";

TEST(simhost_program, plays_a_scenario_reports_each_action_and_sums_up_with_the_screenshots)
{
    temp_dir tmp;
    write_file(tmp / "s.txt", scenario_text);
    const std::string log = tmp / "Log.txt";
    run_result r =
        run_simhost("--plugin " + test_plugin_folder() + " --scenario " + shell_quoted(tmp / "s.txt") +
                    " --out " + shell_quoted(tmp.path()) + " --log " + shell_quoted(log));
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("frame 8: menu Host Test > Toggle\n"));
    EXPECT_THAT(r.output, HasSubstr("frame 12: aircraft none acf \"Baron 58.acf\" panel 2048x2048 pfd at "));
    EXPECT_THAT(r.output, HasSubstr("headless_sim: 12 frames at 30 fps"));
    EXPECT_THAT(r.output, HasSubstr("headless_sim: monitor 1 (640, 0) 320 x 240 pixels, simulator full "
                                    "screen: (320, 0) 160 x 120 boxels\n"));
    EXPECT_THAT(r.output,
                HasSubstr("headless_sim: window 1 \"Test Window\": at (100, 100) 200 x 200, on monitor 0"));
    for (const char *shot :
         {"last-monitor0.png", "last-monitor1.png", "final-monitor0.png", "final-monitor1.png"}) {
        EXPECT_THAT(r.output, HasSubstr("headless_sim: screenshot " + (tmp / shot) + "\n"));
        EXPECT_TRUE(fs::exists(tmp / shot)) << shot;
    }
    const std::string text = read_file(log);
    // Opened at 2, clicked and dragged, closed from the menu at 8, held from 9 to 11: open again.
    EXPECT_THAT(text, HasSubstr("click 1 at 150,150\ntest plugin: click 3 at 150,150\n"
                                "test plugin: click 1 at 150,150\ntest plugin: click 2 at 200,200\n"
                                "test plugin: click 2 at 250,250\ntest plugin: click 3 at 250,250\n"));
    EXPECT_THAT(text, HasSubstr("toggle phase 0\ntest plugin: toggle phase 1\ntest plugin: toggle phase 1\n"
                                "test plugin: toggle phase 2\n"));
    EXPECT_THAT(text, HasSubstr("test plugin: message 102 from 0\ntest plugin: aircraft Baron 58.acf at "));
    EXPECT_THAT(text, HasSubstr("Baron 58.acf\n"));
}

TEST(simhost_program, stops_at_an_action_it_cannot_do_and_names_its_line_unless_told_to_keep_going)
{
    temp_dir tmp;
    write_file(tmp / "s.txt", "frames 5\nat 1 menu No Such > Item\nat 2 command no/such\n");
    const std::string base =
        "--no-gl --plugin " + test_plugin_folder() + " --scenario " + shell_quoted(tmp / "s.txt");
    run_result r = run_simhost(base);
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_THAT(r.output, HasSubstr("s.txt:2: no item \"No Such\" in the menu Plugins"));
    EXPECT_THAT(r.output, HasSubstr("headless_sim: 1 frames"));

    r = run_simhost(base + " --keep-going");
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("s.txt:3: no command no/such; going on"));
    EXPECT_THAT(r.output, HasSubstr("headless_sim: 5 frames"));
    EXPECT_THAT(r.output, HasSubstr("headless_sim: actions that could not be done: 2"));
}

TEST(simhost_program, a_bad_scenario_line_is_named_before_anything_is_loaded)
{
    temp_dir tmp;
    write_file(tmp / "bad.txt", "frames 10\n\nat 3 clik 1 2\n");
    run_result r = run_simhost("--plugin /nonexistent --scenario " + shell_quoted(tmp / "bad.txt"));
    EXPECT_EQ(r.exit_code, 2) << r.output;
    EXPECT_THAT(r.output, HasSubstr("bad.txt:3: unknown action 'clik'"));
    EXPECT_THAT(r.output, ::testing::Not(HasSubstr("no plugin folder")));
}

struct bad_run {
    const char *name;
    std::string args;
    int exit_code;
    const char *says;
};

void PrintTo(const bad_run &c, std::ostream *os)
{
    *os << c.name;
}

class simhost_program_failure : public ::testing::TestWithParam<bad_run> {};

TEST_P(simhost_program_failure, exits_with_its_code_and_says_why)
{
    run_result r = run_simhost(GetParam().args);
    EXPECT_EQ(r.exit_code, GetParam().exit_code) << r.output;
    EXPECT_THAT(r.output, HasSubstr(GetParam().says));
}

INSTANTIATE_TEST_SUITE_P(
    arguments, simhost_program_failure,
    ::testing::Values(
        bad_run{"no_plugin_option", "--frames 3", 2, "--plugin is required"},
        bad_run{"unknown_option", "--plugin x --bogus", 2, "unknown argument --bogus"},
        bad_run{"option_without_value", "--plugin", 2, "--plugin needs a value"},
        bad_run{"frames_not_a_number", "--plugin x --frames ten", 2, "--frames wants a whole number"},
        bad_run{"negative_frames", "--plugin x --frames -1", 2, "--frames wants a whole number"},
        bad_run{"zero_fps", "--plugin x --fps 0", 2, "--fps wants a positive number"},
        bad_run{"folder_without_plugin", "--plugin /nonexistent/kyv_pop --no-gl", 1, "no plugin folder"},
        bad_run{"library_that_is_no_plugin",
                "--no-gl --plugin " + shell_quoted(fs::path(HOST_NOT_A_PLUGIN).parent_path().parent_path()),
                1, "is not a plugin"}),
    [](const ::testing::TestParamInfo<bad_run> &info) { return std::string(info.param.name); });

} // namespace
