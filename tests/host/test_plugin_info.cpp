// What the simulator tells a plugin about itself: id, name, signature,
// description and the path of its binary.

#include "XPLMPlugin.h"
#include "host.h"
#include "host_test_support.h"

#include <gmock/gmock.h>

#include <cstring>

using namespace host_test;
using ::testing::HasSubstr;

namespace {

struct plugin_info {
    std::string name, path, signature, description;
};

plugin_info info_of(XPLMPluginID id)
{
    char name[256], path[4096], signature[256], description[256];
    XPLMGetPluginInfo(id, name, path, signature, description);
    return {name, path, signature, description};
}

class plugin_info_test : public ::testing::Test {
protected:
    temp_dir tmp;
    simhost::host h;

    void start_from(const fs::path &folder)
    {
        ASSERT_TRUE(h.load_plugin_folder(folder.string())) << h.error();
        ASSERT_TRUE(h.start()) << h.error();
    }
};

TEST_F(plugin_info_test, reports_what_xplugin_start_wrote_under_id_1)
{
    start_from(install_plugin(tmp / "kyv_pop", HOST_TEST_PLUGIN));
    EXPECT_EQ(h.plugin_name(), "Host Test Plugin");
    EXPECT_EQ(h.plugin_signature(), "simhost.test.plugin");
    EXPECT_EQ(h.plugin_description(), "A plugin the host's tests drive");

    EXPECT_EQ(XPLMGetMyID(), 1);
    EXPECT_EQ(XPLMFindPluginBySignature("simhost.test.plugin"), 1);
    EXPECT_EQ(XPLMFindPluginBySignature("someone.else"), XPLM_NO_PLUGIN_ID);
    EXPECT_EQ(XPLMFindPluginBySignature(nullptr), XPLM_NO_PLUGIN_ID);
    plugin_info info = info_of(1);
    EXPECT_EQ(info.name, "Host Test Plugin");
    EXPECT_EQ(info.signature, "simhost.test.plugin");
    EXPECT_EQ(info.description, "A plugin the host's tests drive");
    EXPECT_TRUE(h.feature_enabled("XPLM_USE_NATIVE_PATHS"));
    EXPECT_FALSE(h.feature_enabled("XPLM_SOMETHING_ELSE"));
}

TEST_F(plugin_info_test, the_signature_is_unknown_until_xplugin_start_has_returned)
{
    ASSERT_TRUE(h.load_plugin_folder(install_plugin(tmp / "kyv_pop", HOST_TEST_PLUGIN).string()));
    EXPECT_EQ(XPLMFindPluginBySignature("simhost.test.plugin"), XPLM_NO_PLUGIN_ID);
}

TEST_F(plugin_info_test, the_file_path_is_absolute_even_when_loaded_by_a_relative_one)
{
    fs::path folder = install_plugin(tmp / "kyv_pop", HOST_TEST_PLUGIN);
    // Relative to the temporary folder: Windows has no relative path from one drive to another.
    struct in_folder {
        fs::path old = fs::current_path();
        explicit in_folder(const fs::path &dir) { fs::current_path(dir); }
        ~in_folder() { fs::current_path(old); }
    } in_tmp(fs::u8path(tmp.path()));
    start_from("kyv_pop");
    std::string expected = (fs::absolute(folder) / simhost::host::platform_folder() / "kyv_pop.xpl")
                               .lexically_normal()
                               .u8string();
    EXPECT_EQ(info_of(1).path, expected);
    EXPECT_EQ(h.plugin_path(), expected);
}

TEST_F(plugin_info_test, a_reported_path_replaces_the_real_one_for_the_plugin_too)
{
    const std::string odd = "/opt/Sim 12/Resources/plugins/kyv_pop/lin_x64/kyv_pop.xpl";
    h.set_reported_plugin_path(odd);
    start_from(install_plugin(tmp / "kyv_pop", HOST_TEST_PLUGIN));
    ASSERT_TRUE(h.enable());
    EXPECT_EQ(info_of(1).path, odd);
    EXPECT_TRUE(contains(h.debug_strings(), "enable, path " + odd + "\n"));
}

TEST_F(plugin_info_test, a_path_longer_than_the_other_outputs_comes_back_whole)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows loads no DLL from a path over MAX_PATH (260 characters) unless long paths are "
                    "enabled for the whole machine and the program";
#endif
    fs::path deep = tmp.path();
    for (char c : {'a', 'b', 'c'})
        deep /= std::string(150, c);
    start_from(install_plugin(deep, HOST_TEST_PLUGIN));
    std::string path = info_of(1).path;
    EXPECT_GT(path.size(), 450u);
    EXPECT_EQ(path, h.plugin_path());
}

TEST_F(plugin_info_test, each_output_may_be_null)
{
    start_from(install_plugin(tmp / "kyv_pop", HOST_TEST_PLUGIN));
    char signature[256];
    XPLMGetPluginInfo(1, nullptr, nullptr, signature, nullptr);
    EXPECT_STREQ(signature, "simhost.test.plugin");
    XPLMGetPluginInfo(1, nullptr, nullptr, nullptr, nullptr);
}

TEST_F(plugin_info_test, an_unknown_id_reads_as_empty_strings)
{
    start_from(install_plugin(tmp / "kyv_pop", HOST_TEST_PLUGIN));
    for (XPLMPluginID id : {XPLM_NO_PLUGIN_ID, 0, 2, 1000}) {
        char name[256], path[4096], signature[256], description[256];
        memset(name, 'x', sizeof(name));
        memset(path, 'x', sizeof(path));
        XPLMGetPluginInfo(id, name, path, signature, description);
        EXPECT_STREQ(name, "") << "id " << id;
        EXPECT_STREQ(path, "") << "id " << id;
    }
}

TEST_F(plugin_info_test, without_a_plugin_there_is_no_id)
{
    EXPECT_EQ(XPLMGetMyID(), XPLM_NO_PLUGIN_ID);
    EXPECT_EQ(info_of(1).name, "");
}

} // namespace
