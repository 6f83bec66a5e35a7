#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cfg_file.h"
#include "plugin_fixture.h"

namespace {

using settings_file = plugin_fixture;

std::vector<std::string> added_lines(const std::vector<std::string> &msgs)
{
    std::vector<std::string> out;
    for (const auto &m : msgs)
        if (m.rfind("Error Getting Data - added: ", 0) == 0)
            out.push_back(m.substr(28));
    return out;
}

std::vector<std::pair<std::string, std::string>> defaults_as_text()
{
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto &[k, v] : default_settings())
        out.emplace_back(k, std::to_string(v));
    return out;
}

TEST_F(settings_file, first_enable_creates_the_file_with_the_21_defaults)
{
    start_and_enable();

    const auto msgs = messages_from("Settings and Failures");
    ASSERT_GE(msgs.size(), 3u);
    EXPECT_EQ(msgs[1], "Created Configuration: popups.cfg with path " + native_path(cfg_path));
    EXPECT_EQ(msgs[2], "Error Reading Config File. Creating New File");
    std::vector<std::string> keys;
    for (const auto &kv : default_settings())
        keys.push_back(kv.first);
    EXPECT_EQ(added_lines(msgs), keys) << "one line per key, in registration order";

    EXPECT_EQ(cfg_entries(read_file(cfg_path)), defaults_as_text());
}

TEST_F(settings_file, a_file_lacking_one_key_gets_it_added_and_keeps_the_rest)
{
    std::string text;
    for (const auto &[k, v] : default_settings())
        if (k != "mfd_nbzl_fill_window")
            text += k + " = " + std::to_string(k == "pfd_nbzl_x" ? 333 : v) + "\n";
    write_file(cfg_path, text);

    start_and_enable();
    EXPECT_EQ(added_lines(plugin_messages()), std::vector<std::string>{"mfd_nbzl_fill_window"});
    EXPECT_FALSE(logged("Error Reading Config File. Creating New File"));

    const auto entries = cfg_entries(read_file(cfg_path));
    EXPECT_EQ(entries.size(), 21u);
    EXPECT_NE(std::find(entries.begin(), entries.end(),
                        std::make_pair(std::string("pfd_nbzl_x"), std::string("333"))),
              entries.end());
    EXPECT_NE(std::find(entries.begin(), entries.end(),
                        std::make_pair(std::string("mfd_nbzl_fill_window"), std::string("1"))),
              entries.end());
}

TEST_F(settings_file, entries_the_plugin_does_not_know_are_kept)
{
    write_file(cfg_path, "my_own_note = 12\nsomething_else = hello\n");
    start_and_enable();
    host.disable();
    const auto entries = cfg_entries(read_file(cfg_path));
    EXPECT_EQ(entries.size(), 23u);
    EXPECT_EQ(entries[0], std::make_pair(std::string("my_own_note"), std::string("12")));
    EXPECT_EQ(entries[1], std::make_pair(std::string("something_else"), std::string("hello")));
}

TEST_F(settings_file, a_missing_settings_folder_is_created_at_enable)
{
    std::filesystem::remove_all(settings_dir);
    start_and_enable();
    EXPECT_TRUE(logged("Created settings folder " + native_path(settings_dir)));
    EXPECT_EQ(cfg_entries(read_file(cfg_path)).size(), 21u);
}

TEST_F(settings_file, a_malformed_file_keeps_its_good_lines)
{
    write_file(cfg_path, std::string("pfd_nbzl_x = 10\n") + "this line has no equals sign\n" + "= 5\n" +
                             "pfd_nbzl_y = \n" + std::string("\x01\x02garbage\xff = 3\n") +
                             "pfd_nbzl_w = 800\n" + "pfd_nbzl_h = 99999999999\n" +
                             "mfd_nbzl_monitor_start = 1\n");
    start_and_enable();
    host.disable();

    const auto entries = cfg_entries(read_file(cfg_path));
    auto value = [&](const std::string &key) {
        for (const auto &[k, v] : entries)
            if (k == key)
                return v;
        return std::string("<absent>");
    };
    EXPECT_EQ(value("pfd_nbzl_x"), "10");
    EXPECT_EQ(value("pfd_nbzl_w"), "800");
    EXPECT_EQ(value("mfd_nbzl_monitor_start"), "1");
    // Not an integer: reported absent, so the default is put in its place.
    EXPECT_EQ(value("pfd_nbzl_h"), "768");
    EXPECT_EQ(value("pfd_nbzl_y"), "0");
    const auto added = added_lines(plugin_messages());
    EXPECT_NE(std::find(added.begin(), added.end(), "pfd_nbzl_h"), added.end());
    EXPECT_EQ(std::find(added.begin(), added.end(), "pfd_nbzl_x"), added.end());
}

TEST_F(settings_file, an_enable_after_a_disable_does_not_read_the_file_again)
{
    start_and_enable();
    host.disable();
    write_file(cfg_path, "pfd_nbzl_x = 55\n");
    ASSERT_TRUE(host.enable());
    host.disable();
    // The plugin's own values are written back; the hand edit of a value it
    // holds unchanged stays in the file.
    const auto entries = cfg_entries(read_file(cfg_path));
    EXPECT_EQ(entries.front(), std::make_pair(std::string("pfd_nbzl_x"), std::string("55")));
    EXPECT_EQ(entries.size(), 1u) << "keys are only added at the first load";
}

// A file a cockpit builder wrote by hand, and what an enable/disable cycle
// makes of it: every line where it stood (entries written as "key = value",
// blank lines emptied), then the missing keys with their defaults.
struct kept_file {
    const char *name;
    std::string written;
    std::string kept;
};

const kept_file kept_files[] = {
    {"comments_blank_lines_and_unknown_keys",
     "# PFD on the left G1000 screen\n\npfd_nbzl_monitor_start=1\n  # indented, with = in it\n"
     "my_own_key = keep me\n \t \n# MFD: caf\xc3\xa9 corner  \nmfd_nbzl_w = 800\n",
     "# PFD on the left G1000 screen\n\npfd_nbzl_monitor_start = 1\n  # indented, with = in it\n"
     "my_own_key = keep me\n\n# MFD: caf\xc3\xa9 corner\nmfd_nbzl_w = 800\n"},
    {"crlf_endings", "# screens\r\npfd_nbzl_x = 5\r\n\r\n# end\r\n",
     "# screens\r\npfd_nbzl_x = 5\r\n\r\n# end\r\n"},
    {"no_final_newline", "pfd_2_nbzl_h = 600\n# last line", "pfd_2_nbzl_h = 600\n# last line\n"},
};

void PrintTo(const kept_file &f, std::ostream *os)
{
    *os << f.name;
}

class user_lines : public settings_file, public ::testing::WithParamInterface<kept_file> {};

TEST_P(user_lines, survive_an_enable_and_a_disable_in_place)
{
    const kept_file &f = GetParam();
    write_file(cfg_path, f.written);
    start_and_enable();
    host.disable();

    const char *eol = f.written.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::string want = f.kept;
    for (const auto &[k, v] : default_settings())
        if (f.written.find(k + " ") == std::string::npos && f.written.find(k + "=") == std::string::npos)
            want += k + " = " + std::to_string(v) + eol;
    EXPECT_EQ(read_file(cfg_path), want);

    // A fresh plugin (a copy of its own, so nothing stays in memory) reads
    // back the values the user wrote, and its cycle changes nothing.
    const std::string again = tmp / "again";
    install_plugin_copy(again);
    write_file(again + "/settings/popups.cfg", want);
    ASSERT_TRUE(host.stop() && host.unload());
    ASSERT_TRUE(host.load_plugin_folder(again) && host.start() && host.enable()) << host.error();
    host.disable();
    EXPECT_EQ(read_file(again + "/settings/popups.cfg"), want);
}

INSTANTIATE_TEST_SUITE_P(files, user_lines, ::testing::ValuesIn(kept_files),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(settings_file, a_new_file_starts_with_a_note_on_what_it_is)
{
    start_and_enable();
    const std::string text = read_file(cfg_path);
    EXPECT_EQ(text.rfind("# kyv_pop: ", 0), 0u) << text;
    EXPECT_NE(text.find("# Close the simulator before editing"), std::string::npos);
}

} // namespace
