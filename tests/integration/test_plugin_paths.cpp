#include <gtest/gtest.h>

#include <filesystem>

#include "plugin_fixture.h"

namespace {

namespace fs = std::filesystem;

using plugin_paths = plugin_fixture;

TEST_F(plugin_paths, a_path_shorter_than_19_characters_loads_and_finds_its_folder)
{
    // The simulator reports the file where it really is; only the path is short.
    fs::create_directories(tmp / "p/lin");
    working_dir wd(tmp.path());
    host.set_reported_plugin_path("p/lin/kyv_pop.xpl");
    start_and_enable();
    host.run_frames(5);
    host.disable();
    EXPECT_TRUE(logged("p/"));
    EXPECT_TRUE(fs::is_regular_file(tmp / "p/settings/popups.cfg"));
}

TEST_F(plugin_paths, a_path_longer_than_511_characters_loads_without_a_crash)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows loads no DLL from a path over MAX_PATH (260 characters) unless long paths are "
                    "enabled for the whole machine and the program";
#endif
    std::string deep = tmp.path();
    for (int i = 0; i < 6; i++)
        deep += "/" + std::string(100, char('a' + i));
    install_plugin_copy(deep);
    ASSERT_GT((deep + "/" + simhost::host::platform_folder() + "/kyv_pop.xpl").size(), 511u);

    ASSERT_TRUE(host.load_plugin_folder(deep)) << host.error();
    ASSERT_TRUE(host.start());
    ASSERT_TRUE(host.enable());
    host.run_frames(5);
    host.disable();
    host.stop();
    const auto msgs = plugin_messages();
    EXPECT_TRUE(std::any_of(msgs.begin(), msgs.end(), [](const std::string &m) {
        return m.find("settings and resources are unavailable") != std::string::npos;
    }));
    EXPECT_TRUE(logged("XPLMDisable Complete"));
}

TEST_F(plugin_paths, a_path_with_spaces_and_non_ascii_letters_works)
{
    const std::string odd = tmp / "My Plugins/kyv pöp (copy)";
    install_plugin_copy(odd);
    ASSERT_TRUE(host.load_plugin_folder(odd)) << host.error();
    ASSERT_TRUE(host.start());
    ASSERT_TRUE(host.enable());
    host.disable();
    EXPECT_TRUE(logged(native_path(odd + "/")));
    EXPECT_TRUE(fs::is_regular_file(fs::u8path(odd + "/settings/popups.cfg")));
}

} // namespace
