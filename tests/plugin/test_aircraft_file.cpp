#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cfg_file.h"
#include "log_capture.h"
#include "settings/aircraft_file.h"
#include "temp_dir.h"

namespace {

struct name_case {
    const char *acf, *safe;
};

class aircraft_file_name : public ::testing::TestWithParam<name_case> {};

TEST_P(aircraft_file_name, keeps_what_a_file_name_can_hold_and_replaces_the_rest)
{
    EXPECT_EQ(aircraft_file_safe_name(GetParam().acf), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(names, aircraft_file_name,
                         ::testing::Values(name_case{"Baron_58.acf", "Baron_58.acf"},
                                           name_case{"Cessna 172 G1000.acf", "Cessna 172 G1000.acf"},
                                           name_case{"Flügzeug Ä.acf", "Flügzeug Ä.acf"},
                                           name_case{"a<b>c:d\"e/f\\g|h?i*j.acf", "a_b_c_d_e_f_g_h_i_j.acf"},
                                           name_case{"tab\there.acf", "tab_here.acf"},
                                           name_case{"CON.acf", "_CON.acf"},
                                           name_case{"com1.acf", "_com1.acf"},
                                           name_case{"Console.acf", "Console.acf"}, name_case{"", "_"}));

class aircraft_file_store : public ::testing::Test {
protected:
    temp_dir tmp;
    std::string path = native_path(tmp / "aircraft/Baron_58.acf.cfg");

    void SetUp() override { std::filesystem::create_directory(tmp / "aircraft"); }
};

TEST_F(aircraft_file_store, what_is_written_reads_back_and_a_rewrite_keeps_the_pilots_notes)
{
    display_places places = places_built_in();
    places[0] = {picture_source::panel, {100, 1800, 800, 600}};
    places[2].source = picture_source::device;
    std::string error;
    ASSERT_TRUE(aircraft_file_write(path, places, {2048, 4096}, error)) << error;
    write_file(path, "# my notes\n" + read_file(path) + "my_key = 7\n");

    places[1].rect = {10, 20, 640, 480};
    ASSERT_TRUE(aircraft_file_write(path, places, {2048, 4096}, error)) << error;
    const std::string text = read_file(path);
    EXPECT_EQ(text.rfind("# my notes\n", 0), 0u) << text;
    EXPECT_NE(text.find("my_key = 7"), std::string::npos) << text;

    const auto file = aircraft_file_read(path, "shown");
    ASSERT_TRUE(file.has_value());
    ASSERT_TRUE(file->made_for.has_value());
    EXPECT_EQ(file->made_for->width, 2048);
    EXPECT_EQ(file->made_for->height, 4096);
    for (int i = 0; i < display_count; i++) {
        EXPECT_EQ(file->places[i].rect, places[i].rect) << display_short_name(i);
        EXPECT_EQ(file->places[i].source, places[i].source) << display_short_name(i);
    }
}

TEST_F(aircraft_file_store, missing_or_unreadable_keys_take_the_built_in_values_and_say_which)
{
    write_file(path, "mfd_nbzl_source = panel\nmfd_nbzl_panel_x = 5\npfd_nbzl_source = sideways\n"
                     "pfd_nbzl_panel_w = wide\nthis line is not a setting\n");
    log_capture logs;
    const auto file = aircraft_file_read(path, "Baron_58.acf.cfg");
    ASSERT_TRUE(file.has_value());
    EXPECT_FALSE(file->made_for.has_value()) << "no panel size: fits any panel";
    const display_places built_in = places_built_in();
    EXPECT_EQ(file->places[1].source, picture_source::panel);
    EXPECT_EQ(file->places[1].rect, (panel_rect{5, 0, 1024, 768}));
    EXPECT_EQ(file->places[0].source, picture_source::automatic);
    EXPECT_EQ(file->places[0].rect, built_in[0].rect);
    EXPECT_EQ(file->places[2].rect, built_in[2].rect);
    const std::string all = ::testing::PrintToString(logs.messages());
    EXPECT_NE(all.find("Baron_58.acf.cfg: \\\"pfd_nbzl_source\\\" holds \\\"sideways\\\""), std::string::npos)
        << all;
    EXPECT_NE(all.find(":5: skipped malformed line"), std::string::npos) << all;
}

TEST_F(aircraft_file_store, no_file_is_no_places_and_an_unwritable_folder_fails_with_the_reason)
{
    EXPECT_FALSE(aircraft_file_read(path, "x").has_value());
    write_file(tmp / "blocker", "");
    std::string error;
    EXPECT_FALSE(
        aircraft_file_write(native_path(tmp / "blocker/aircraft/x.cfg"), places_built_in(), {1, 1}, error));
    EXPECT_NE(error.find("blocker"), std::string::npos) << error;
}

} // namespace
