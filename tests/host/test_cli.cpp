// The simhost program: what it runs, what it prints, and its exit codes.

#include "host_test_support.h"

#include <gmock/gmock.h>

#include <sys/wait.h>

#include <cstdio>

using namespace host_test;
using ::testing::HasSubstr;

namespace {

struct run_result {
    int exit_code;
    std::string output; // stdout and stderr together
};

run_result run_simhost(const std::string &args)
{
    std::string cmd = std::string("'") + SIMHOST_EXE + "' " + args + " 2>&1";
    run_result r{-1, {}};
    FILE *p = popen(cmd.c_str(), "r");
    if (p == nullptr)
        return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0)
        r.output.append(buf, n);
    int status = pclose(p);
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string shell_quoted(const fs::path &p)
{
    return "'" + p.string() + "'";
}

// The test plugin's build folder holds a lin_x64 with its one binary.
std::string test_plugin_folder()
{
    return shell_quoted(fs::path(HOST_TEST_PLUGIN).parent_path().parent_path());
}

TEST(simhost_program, runs_a_plugin_through_its_life_and_sums_up)
{
    run_result r = run_simhost("--plugin " + test_plugin_folder() + " --frames 10 --no-gl");
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("simhost: plugin \"Host Test Plugin\" (simhost.test.plugin)"));
    EXPECT_THAT(r.output, HasSubstr("simhost: 10 frames at 60 fps, 0.167 s simulated"));
    EXPECT_THAT(r.output, HasSubstr("simhost: unexpected calls: none"));
}

TEST(simhost_program, draws_with_gl_at_the_given_frame_rate_and_writes_the_log_file)
{
    temp_dir tmp;
    std::string log = tmp / "Log.txt";
    run_result r =
        run_simhost("--plugin " + test_plugin_folder() + " --frames 30 --fps 30 --log " + shell_quoted(log));
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_THAT(r.output, HasSubstr("30 frames at 30 fps, 1.000 s simulated"));
    std::string text = read_file(log);
    EXPECT_THAT(text, HasSubstr("test plugin: disable after 30 flight loops, 30 draws\n"));
    EXPECT_THAT(text, HasSubstr("test plugin: stop\n"));
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
