// Loading plugin binaries: every way a load can fail is an error that says
// why, and leaves the host usable.

#include "host.h"
#include "host_test_support.h"

#include <gmock/gmock.h>

#include <fstream>
#include <algorithm>
#include <functional>

using namespace host_test;
using ::testing::HasSubstr;

namespace {

struct bad_load {
    const char *name;
    // Prepares the temporary folder; returns what to load.
    std::function<fs::path(const fs::path &tmp)> setup;
    bool as_folder;
    std::string error;
};

const std::string platform = simhost::host::platform_folder();

void PrintTo(const bad_load &c, std::ostream *os)
{
    *os << c.name;
}

class loader_error : public ::testing::TestWithParam<bad_load> {};

TEST_P(loader_error, fails_with_a_reason_and_leaves_nothing_loaded)
{
    temp_dir tmp;
    fs::path target = GetParam().setup(tmp.path());
    simhost::host h;
    bool loaded =
        GetParam().as_folder ? h.load_plugin_folder(target.string()) : h.load_plugin_file(target.string());
    EXPECT_FALSE(loaded);
    EXPECT_THAT(h.error(), HasSubstr(GetParam().error));
    EXPECT_FALSE(h.plugin_loaded());
    EXPECT_FALSE(h.start());

    // The same host loads a good plugin afterwards.
    EXPECT_TRUE(h.load_plugin_folder(install_plugin(tmp / "good", HOST_TEST_PLUGIN).string())) << h.error();
}

fs::path make_dirs(const fs::path &p)
{
    fs::create_directories(p);
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    loads, loader_error,
    ::testing::Values(
        bad_load{"missing_file", [](const fs::path &t) { return t / "nothing.xpl"; }, false,
                 "no plugin file at"},
        bad_load{"folder_given_as_file", [](const fs::path &t) { return make_dirs(t / "dir.xpl"); }, false,
                 "is not a file"},
        bad_load{"missing_folder", [](const fs::path &t) { return t / "absent"; }, true,
                 "no plugin folder at"},
        bad_load{"folder_without_platform_folder", [](const fs::path &t) { return make_dirs(t / "kyv_pop"); },
                 true, "has no " + platform + " folder"},
        bad_load{"empty_platform_folder",
                 [](const fs::path &t) { return make_dirs(t / "p" / platform).parent_path(); }, true,
                 "no .xpl file in"},
        bad_load{"several_binaries_none_preferred",
                 [](const fs::path &t) {
                     install_plugin(t / "p", HOST_TEST_PLUGIN, "one.xpl");
                     return install_plugin(t / "p", HOST_TEST_PLUGIN, "two.xpl");
                 },
                 true, "2 .xpl files"},
        bad_load{"text_file_named_xpl",
                 [](const fs::path &t) {
                     make_dirs(t / "p" / platform);
                     std::ofstream(t / "p" / platform / "kyv_pop.xpl") << "not a library\n";
                     return t / "p";
                 },
                 true, "cannot load"},
        bad_load{"library_without_the_entry_points",
                 [](const fs::path &t) { return install_plugin(t / "p", HOST_NOT_A_PLUGIN); }, true,
                 "is not a plugin: it lacks XPluginDisable, XPluginStop, XPluginReceiveMessage"},
        bad_load{"plugin_needing_an_xplm_function_the_host_lacks",
                 [](const fs::path &t) { return install_plugin(t / "p", HOST_UNRESOLVED_PLUGIN); }, true,
#ifdef _WIN32
                 "XPLM_64.dll has no XPLMNoSuchFunction"}),
#else
                 "undefined symbol: XPLMNoSuchFunction"}),
#endif
    [](const ::testing::TestParamInfo<bad_load> &info) { return std::string(info.param.name); });

TEST(loader, prefers_kyv_pop_xpl_among_several_binaries)
{
    temp_dir tmp;
    install_plugin(tmp / "p", HOST_NOT_A_PLUGIN, "other.xpl");
    fs::path folder = install_plugin(tmp / "p", HOST_TEST_PLUGIN, "kyv_pop.xpl");
    simhost::host h;
    ASSERT_TRUE(h.load_plugin_folder(folder.string())) << h.error();
    EXPECT_EQ(fs::path(h.plugin_path()).filename(), "kyv_pop.xpl");
}

TEST(loader, takes_the_single_binary_whatever_its_name)
{
    temp_dir tmp;
    simhost::host h;
    ASSERT_TRUE(h.load_plugin_folder(install_plugin(tmp / "p", HOST_TEST_PLUGIN, "other.xpl").string()));
    EXPECT_EQ(fs::path(h.plugin_path()).filename(), "other.xpl");
}

TEST(loader, an_unloaded_plugin_loads_again_with_its_statics_fresh)
{
#ifdef KYV_SANITIZED
    GTEST_SKIP() << "a sanitized host keeps unloaded plugins mapped, for readable leak reports";
#endif
    temp_dir tmp;
    fs::path folder = install_plugin(tmp / "p", HOST_TEST_PLUGIN);
    simhost::host h;
    for (int round = 0; round < 2; round++) {
        ASSERT_TRUE(h.load_plugin_folder(folder.string()) && h.start() && h.enable()) << h.error();
        h.run_frames(2);
        ASSERT_TRUE(h.disable() && h.stop() && h.unload()) << h.error();
    }
    std::vector<std::string> lines = plugin_lines(h.debug_strings());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "disable after 2 flight loops, 0 draws"), 2);
}

} // namespace
