#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "cfg_file.h"
#include "settings/config.h"
#include "log_capture.h"
#include "temp_dir.h"

namespace {

// A store of its own with three settings, in a temporary settings folder.
class pref_store_test : public ::testing::Test {
protected:
    temp_dir tmp;
    std::string folder = native_path(tmp / "settings");
    std::string file = folder + "/popups.cfg";
    pref_store store;
    pref_int a{&store, "a_x", 0};
    pref_int b{&store, "a_w", 1024};
    pref_int c{&store, "a_monitor_start", -1};

    void SetUp() override { std::filesystem::create_directory(folder); }

    std::string value_in_file(const std::string &key) const
    {
        for (const auto &[k, v] : cfg_entries(read_file(file)))
            if (k == key)
                return v;
        return "<absent>";
    }
};

TEST_F(pref_store_test, first_open_creates_the_file_with_every_default_and_says_so)
{
    log_capture logs;
    store.open(folder.c_str());

    const std::vector<std::string> expected = {
        "Created Configuration: popups.cfg with path " + native_path(file),
        "Error Reading Config File. Creating New File",
        "Error Getting Data - added: a_x",
        "Error Getting Data - added: a_w",
        "Error Getting Data - added: a_monitor_start",
    };
    EXPECT_EQ(logs.messages(), expected);
    const auto entries = cfg_entries(read_file(file));
    const decltype(entries) want = {{"a_x", "0"}, {"a_w", "1024"}, {"a_monitor_start", "-1"}};
    EXPECT_EQ(entries, want);
    EXPECT_TRUE(a.is_loaded() && b.is_loaded() && c.is_loaded());
}

TEST_F(pref_store_test, values_come_from_the_file_and_a_missing_key_is_added_alone)
{
    write_file(file, "a_x = 17\n# a person's note\nkeep_me = 5\na_monitor_start = 2\n");
    log_capture logs;
    store.open(folder.c_str());

    EXPECT_EQ(a.get(), 17);
    EXPECT_EQ(b.get(), 1024);
    EXPECT_EQ(c.get(), 2);
    const auto msgs = logs.messages();
    EXPECT_EQ(std::count(msgs.begin(), msgs.end(), "Error Getting Data - added: a_w"), 1);
    EXPECT_EQ(std::count_if(msgs.begin(), msgs.end(),
                            [](const std::string &m) { return m.rfind("Error Getting Data", 0) == 0; }),
              1);
    EXPECT_EQ(value_in_file("a_w"), "1024");
    EXPECT_EQ(value_in_file("keep_me"), "5") << "entries nobody registers are written back";
}

TEST_F(pref_store_test, setting_the_same_value_again_is_no_change_but_the_first_set_always_is)
{
    store.open(folder.c_str());
    EXPECT_FALSE(a.is_changed());
    a.set(0); // equal to the default, still a change: the caller expects it on disk
    EXPECT_TRUE(a.is_changed());
    store.close();
    EXPECT_FALSE(a.is_changed());

    store.open(folder.c_str());
    a.set(0);
    EXPECT_FALSE(a.is_changed()) << "same as the previous set";
    a.set(5);
    EXPECT_TRUE(a.is_changed());
}

TEST_F(pref_store_test, a_value_set_while_open_reaches_the_file_at_close)
{
    store.open(folder.c_str());
    b.set(640);
    EXPECT_EQ(value_in_file("a_w"), "1024") << "set never touches the file itself";
    store.close();
    EXPECT_EQ(value_in_file("a_w"), "640");
    EXPECT_EQ(store.contents(), nullptr);
}

TEST_F(pref_store_test, a_value_set_while_closed_reaches_the_file_at_the_next_open)
{
    store.open(folder.c_str());
    store.close();
    c.set(3);
    EXPECT_EQ(c.get(), 3);
    store.open(folder.c_str());
    EXPECT_EQ(value_in_file("a_monitor_start"), "3");
}

TEST_F(pref_store_test, reopening_does_not_read_values_again)
{
    store.open(folder.c_str());
    store.close();
    // Edited by hand while the plugin was disabled.
    write_file(file, "a_x = 99\na_w = 77\na_monitor_start = -1\n");
    a.set(5);
    store.open(folder.c_str());

    EXPECT_EQ(b.get(), 1024) << "an unchanged value in memory is not re-read";
    EXPECT_EQ(value_in_file("a_w"), "77") << "and the hand edit stays in the file";
    EXPECT_EQ(value_in_file("a_x"), "5") << "a value changed in memory overwrites the file's";
}

TEST_F(pref_store_test, a_missing_settings_folder_is_created)
{
    std::filesystem::remove_all(folder);
    log_capture logs;
    store.open(folder.c_str());
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    const auto msgs = logs.messages();
    EXPECT_NE(std::find(msgs.begin(), msgs.end(), "Created settings folder " + folder), msgs.end());
}

TEST_F(pref_store_test, an_unwritable_place_keeps_values_in_memory_and_retries_later)
{
    // A folder whose parent is a file can be neither created nor written.
    write_file(tmp / "blocker", "");
    const std::string bad = tmp / "blocker/settings";
    log_capture logs;
    store.open(bad.c_str());
    const auto msgs = logs.messages();
    EXPECT_NE(std::find(msgs.begin(), msgs.end(), "Unable to Initialize Failures"), msgs.end());
    EXPECT_EQ(store.contents(), nullptr);

    a.set(42);
    store.close();
    EXPECT_TRUE(a.is_changed()) << "nothing was written, so the change is still pending";

    store.open(folder.c_str());
    EXPECT_EQ(a.get(), 42);
    EXPECT_EQ(value_in_file("a_x"), "42");
    EXPECT_FALSE(a.is_changed());
}

TEST_F(pref_store_test, no_folder_leaves_the_store_closed)
{
    log_capture logs;
    store.open(nullptr);
    EXPECT_EQ(store.contents(), nullptr);
    EXPECT_FALSE(a.is_loaded());
    store.close();
}

TEST(settings_keys, the_module_registers_the_21_keys_in_order_with_their_defaults)
{
    const auto &want = default_settings();
    ASSERT_EQ(settings.ints().size(), want.size());
    for (size_t i = 0; i < want.size(); i++) {
        auto *p = static_cast<pref_int *>(settings.ints()[i]);
        EXPECT_EQ(p->key(), want[i].first);
        EXPECT_EQ(p->get(), want[i].second) << p->key();
    }
    const popup_keys *displays[] = {&pfd_keys, &mfd_keys, &pfd2_keys};
    for (size_t d = 0; d < 3; d++) {
        EXPECT_EQ(displays[d]->x, settings.ints()[d * 7]);
        EXPECT_EQ(displays[d]->monitor_start, settings.ints()[d * 7 + 6]);
    }
}

} // namespace
