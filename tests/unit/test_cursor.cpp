#include <gtest/gtest.h>

#include <acfutils/cursor.h>

#include <cairo.h>

#include "temp_dir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct shown {
    bool null_name;
    std::string name;
    bool null_pixels;
    int w, h, stride, hot_x, hot_y;
    uint32_t first_pixel;
};
std::vector<shown> shows;

} // namespace

/* The OS layer hands cursors to this hook when the process exports it. */
extern "C" __attribute__((visibility("default"))) void
os_cursor_hook(const char *name, const unsigned char *pixels, int w, int h, int stride, int hot_x, int hot_y)
{
    uint32_t px = 0;
    if (pixels != nullptr)
        px = *reinterpret_cast<const uint32_t *>(pixels);
    shows.push_back({name == nullptr, name ? name : "", pixels == nullptr, w, h, stride, hot_x, hot_y, px});
}

class Cursor : public ::testing::Test {
protected:
    temp_dir tmp;
    std::string dir = tmp.path();

    void SetUp() override { shows.clear(); }

    std::string write_png(const char *name, cairo_format_t fmt, int w, int h, double r, double g, double b,
                          double a)
    {
        cairo_surface_t *s = cairo_image_surface_create(fmt, w, h);
        cairo_t *cr = cairo_create(s);
        cairo_set_source_rgba(cr, r, g, b, a);
        cairo_paint(cr);
        cairo_destroy(cr);
        std::string path = dir + "/" + name;
        EXPECT_EQ(cairo_surface_write_to_png(s, path.c_str()), CAIRO_STATUS_SUCCESS);
        cairo_surface_destroy(s);
        return path;
    }
    std::string write_text(const char *name, const char *text)
    {
        std::string path = dir + "/" + name;
        FILE *f = fopen(path.c_str(), "w");
        fputs(text, f);
        fclose(f);
        return path;
    }
};

TEST_F(Cursor, MakingCurrentHandsItsPixelsNameAndCentreToTheOs)
{
    cursor_t *cur =
        cursor_read_from_file(write_png("b_close.png", CAIRO_FORMAT_ARGB32, 32, 16, 1, 0, 0, 0.5).c_str());
    ASSERT_NE(cur, nullptr);
    EXPECT_TRUE(shows.empty()) << "loading alone must not show it";
    cursor_make_current(cur);
    ASSERT_EQ(shows.size(), 1u);
    const shown &s = shows[0];
    EXPECT_EQ(s.name, "b_close");
    EXPECT_EQ(s.w, 32);
    EXPECT_EQ(s.h, 16);
    EXPECT_GE(s.stride, 32 * 4);
    EXPECT_EQ(s.hot_x, 16);
    EXPECT_EQ(s.hot_y, 8);
    EXPECT_NEAR(s.first_pixel >> 24, 0x80, 1);
    EXPECT_NEAR((s.first_pixel >> 16) & 0xff, 0x80, 1) << "red must arrive premultiplied";
    cursor_free(cur);
}

TEST_F(Cursor, UnreadableFilesGiveNoCursor)
{
    EXPECT_EQ(cursor_read_from_file((dir + "/missing.png").c_str()), nullptr);
    EXPECT_EQ(cursor_read_from_file(write_text("text.png", "not an image\n").c_str()), nullptr);
    EXPECT_EQ(cursor_read_from_file(write_text("empty.png", "").c_str()), nullptr);
    EXPECT_TRUE(shows.empty());
}

TEST_F(Cursor, FreeingTheCurrentCursorRestoresTheDefaultOnlyThen)
{
    std::string path = write_png("a.png", CAIRO_FORMAT_ARGB32, 8, 8, 1, 1, 1, 1);
    cursor_t *current = cursor_read_from_file(path.c_str());
    cursor_t *other = cursor_read_from_file(path.c_str());
    ASSERT_NE(current, nullptr);
    ASSERT_NE(other, nullptr);
    cursor_make_current(current);
    cursor_free(other);
    EXPECT_EQ(shows.size(), 1u) << "freeing a cursor not shown must leave the OS alone";

    cursor_free(current);
    ASSERT_EQ(shows.size(), 2u);
    EXPECT_TRUE(shows[1].null_name);
    EXPECT_TRUE(shows[1].null_pixels);

    cursor_free(nullptr);
    EXPECT_EQ(shows.size(), 2u);
}
