#include <gtest/gtest.h>

#include <string>

#include "log_capture.h"
#include "lifecycle/plugin_folder.h"

namespace {

struct folder_case {
    const char *what;
    std::string file_path;
    std::string folder;
    bool layout;
};

class plugin_folder_derivation : public ::testing::TestWithParam<folder_case> {};

TEST_P(plugin_folder_derivation, gives_the_folder_above_the_platform_folder)
{
    const folder_case &c = GetParam();
    log_capture logs;
    char folder[plugin_folder_size];
    memset(folder, 'x', sizeof(folder));
    EXPECT_EQ(derive_plugin_folder(c.file_path.c_str(), folder), c.layout) << c.what;
    EXPECT_EQ(std::string(folder), c.folder) << c.what;
    // Only a path outside the installed layout is worth a log line.
    EXPECT_EQ(logs.messages().empty(), c.layout) << c.what;
}

const std::string long_dir = "/" + std::string(520, 'd');

INSTANTIATE_TEST_SUITE_P(
    paths, plugin_folder_derivation,
    ::testing::Values(
        folder_case{"installed on Linux", "/sim/Resources/plugins/kyv_pop/lin_x64/kyv_pop.xpl",
                    "/sim/Resources/plugins/kyv_pop/", true},
        folder_case{"installed on Windows", "C:\\X\\plugins\\kyv_pop\\win_x64\\kyv_pop.xpl",
                    "C:\\X\\plugins\\kyv_pop\\", true},
        folder_case{"exactly 19 characters after the folder", "/lin_x64/kyv_pop.xpl", "/", true},
        folder_case{"shorter than 19 characters", "p/lin/kyv_pop.xpl", "p/", false},
        folder_case{"bare file name", "kyv_pop.xpl", "", false}, folder_case{"empty path", "", "", false},
        folder_case{"platform folder of another length", "/sim/plugins/kyv_pop/64/kyv_pop.xpl",
                    "/sim/plugins/kyv_pop/", false},
        folder_case{"renamed plugin file", "/sim/plugins/kyv_pop/lin_x64/other.xpl", "/sim/plugins/kyv_pop/",
                    false},
        folder_case{"file directly in the root", "/kyv_pop.xpl", "/", false},
        folder_case{"folder too long to hold", long_dir + "/lin_x64/kyv_pop.xpl", "", false},
        folder_case{"path over 511 characters whose folder fits",
                    "/" + std::string(490, 'd') + "/lin_x64/" + std::string(30, 'f') + "/kyv_pop.xpl",
                    "/" + std::string(490, 'd') + "/lin_x64/", false}));

TEST(plugin_folder, never_writes_past_its_buffer)
{
    log_capture logs;
    char guarded[plugin_folder_size + 16];
    memset(guarded, '#', sizeof(guarded));
    const std::string path = "/" + std::string(2000, 'a') + "/lin_x64/kyv_pop.xpl";
    derive_plugin_folder(path.c_str(), guarded);
    for (size_t i = plugin_folder_size; i < sizeof(guarded); i++)
        ASSERT_EQ(guarded[i], '#') << "byte " << i << " was written";
}

} // namespace
