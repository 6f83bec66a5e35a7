#include "plugin_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "cfg_file.h"

namespace fs = std::filesystem;

const display pfd{"kyv/popup/PFD_NOBEZEL", "KYV G1000 PFD Bezelless", "pfd_nbzl_"};
const display mfd{"kyv/popup/MFD_NOBEZEL", "KYV G1000 MFD Bezelless", "mfd_nbzl_"};
const display pfd2{"kyv/popup/PFD_2_NOBEZEL", "KYV G1000 PFD 2 Bezelless", "pfd_2_nbzl_"};

// The build's plugin, or the one KYV_PLUGIN_UNDER_TEST names: another build of
// the same sources, such as the one that ships.
static fs::path plugin_under_test()
{
    const char *other = std::getenv("KYV_PLUGIN_UNDER_TEST");
    return fs::u8path(other != nullptr && *other != '\0' ? other : KYV_PLUGIN_FILE);
}

void install_plugin_copy(const std::string &plugin_dir)
{
    const std::string platform = plugin_dir + "/" + simhost::host::platform_folder();
    fs::create_directories(fs::u8path(platform));
    fs::copy_file(plugin_under_test(), fs::u8path(platform + "/kyv_pop.xpl"),
                  fs::copy_options::overwrite_existing);
    const fs::path resources = fs::path(KYV_PLUGIN_DIR) / "resources";
    if (fs::exists(resources))
        fs::copy(resources, fs::u8path(plugin_dir + "/resources"), fs::copy_options::recursive);
    fs::create_directories(fs::u8path(plugin_dir + "/settings"));
}

working_dir::working_dir(const std::string &dir) : old_(fs::current_path().u8string())
{
    fs::current_path(fs::u8path(dir));
}

working_dir::~working_dir()
{
    fs::current_path(fs::u8path(old_));
}

void plugin_fixture::SetUp()
{
    install_plugin_copy(plugin_dir);
}

void plugin_fixture::TearDown()
{
    for (const char *misuse : {"GL state left changed by a callback", "GL error left by a callback"}) {
        EXPECT_EQ(host.unexpected_call_count(misuse), 0u) << misuse << "; the host's notes:\n"
                                                          << testing::PrintToString(host.host_messages());
    }
}

void plugin_fixture::load_and_start()
{
    ASSERT_TRUE(host.load_plugin_folder(plugin_dir)) << host.error();
    ASSERT_TRUE(host.start()) << host.error();
}

void plugin_fixture::start_and_enable()
{
    load_and_start();
    ASSERT_TRUE(host.enable()) << host.error();
}

std::vector<std::string> plugin_fixture::plugin_messages() const
{
    static const std::string prefix = "KYV D208 POPUP[";
    std::vector<std::string> out;
    for (const std::string &line : host.debug_strings()) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        auto at = line.find("]: ");
        std::string m = line.substr(at + 3);
        while (!m.empty() && m.back() == '\n')
            m.pop_back();
        out.push_back(m);
    }
    return out;
}

bool plugin_fixture::logged(const std::string &message) const
{
    const auto msgs = plugin_messages();
    return std::find(msgs.begin(), msgs.end(), message) != msgs.end();
}

std::vector<std::string> plugin_fixture::messages_from(const std::string &from) const
{
    const auto msgs = plugin_messages();
    auto it = std::find(msgs.begin(), msgs.end(), from);
    return {it, msgs.end()};
}

size_t plugin_fixture::count(const std::string &message) const
{
    const auto msgs = plugin_messages();
    return static_cast<size_t>(std::count(msgs.begin(), msgs.end(), message));
}

void plugin_fixture::write_settings(const std::vector<std::pair<std::string, int>> &values)
{
    std::string text;
    size_t used = 0;
    for (auto [key, value] : default_settings()) {
        for (const auto &[k, v] : values)
            if (k == key) {
                value = v;
                used++;
            }
        text += key + " = " + std::to_string(value) + "\n";
    }
    EXPECT_EQ(used, values.size()) << "a key the plugin does not have";
    write_file(cfg_path, text);
}

std::optional<simhost::host::window_info> plugin_fixture::window(const std::string &title) const
{
    for (const auto &w : host.windows())
        if (w.title == title)
            return w;
    return std::nullopt;
}
