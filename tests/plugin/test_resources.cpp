// The committed resource images: each loads, has the size the plugin expects, and its picture
// suits how it is used (cursor hot spots on the picture, the overlay clear of the display).

#include <acfutils/cursor.h>
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <utility>

namespace {

struct surface_deleter {
    void operator()(cairo_surface_t *s) const { cairo_surface_destroy(s); }
};
using surface_ptr = std::unique_ptr<cairo_surface_t, surface_deleter>;

std::string popup_file(const std::string &rel)
{
    return std::string(KYV_RESOURCE_DIR) + "/popup/" + rel;
}

surface_ptr load_png(const std::string &path)
{
    surface_ptr s(cairo_image_surface_create_from_png(path.c_str()));
    cairo_surface_flush(s.get());
    return s;
}

// Premultiplied ARGB32 in native byte order: alpha is the top byte.
uint32_t pixel_at(cairo_surface_t *s, int x, int y)
{
    uint32_t px;
    std::memcpy(&px, cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s) + 4 * x,
                sizeof px);
    return px;
}

int alpha_at(cairo_surface_t *s, int x, int y)
{
    return static_cast<int>(pixel_at(s, x, y) >> 24);
}

bool is_opaque_with_channels(uint32_t px, int lo, int hi)
{
    if ((px >> 24) != 255)
        return false;
    for (int shift : {0, 8, 16}) {
        const int c = static_cast<int>((px >> shift) & 0xff);
        if (c < lo || c > hi)
            return false;
    }
    return true;
}

struct cursor_case {
    const char *name;
    int size;
};

const cursor_case cursor_cases[] = {
    {"m_point", 32}, {"m_click", 32}, {"a_up", 32},       {"a_dn", 32},       {"r_s_l", 24},
    {"r_s_r", 24},   {"r_m_l", 32},   {"r_m_r", 32},      {"r_l_l", 48},      {"r_l_r", 48},
    {"b_close", 32}, {"b_pop", 32},   {"b_resize_l", 32}, {"b_resize_r", 32},
};

void PrintTo(const cursor_case &c, std::ostream *os)
{
    *os << c.name << " (" << c.size << " px)";
}

class cursor_image : public testing::TestWithParam<cursor_case> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS) << path;
        ASSERT_EQ(cairo_image_surface_get_format(image.get()), CAIRO_FORMAT_ARGB32) << path;
    }
    int width() const { return cairo_image_surface_get_width(image.get()); }
    int height() const { return cairo_image_surface_get_height(image.get()); }

    const std::string path = popup_file(std::string("cursors/") + GetParam().name + ".png");
    const surface_ptr image = load_png(path);
};

TEST_P(cursor_image, loads_as_a_cursor)
{
    cursor_t *cursor = cursor_read_from_file(path.c_str());
    EXPECT_NE(cursor, nullptr);
    cursor_free(cursor);
}

TEST_P(cursor_image, is_a_square_of_its_role_size)
{
    EXPECT_EQ(width(), GetParam().size);
    EXPECT_EQ(height(), GetParam().size);
}

// The loader puts the hot spot at the image's centre; every picture, knob arrows and resize
// arrows included, has solid paint there so the click lands where the picture points.
TEST_P(cursor_image, has_its_picture_under_the_hot_spot)
{
    const int cx = width() / 2, cy = height() / 2;
    bool found = false;
    for (int y = cy - 2; y <= cy + 2; y++) {
        for (int x = cx - 2; x <= cx + 2; x++)
            found = found || alpha_at(image.get(), x, y) == 255;
    }
    EXPECT_TRUE(found) << "no opaque pixel within 2 px of (" << cx << ", " << cy << ")";
}

TEST_P(cursor_image, shows_on_light_and_dark_displays)
{
    int dark = 0, light = 0;
    for (int y = 0; y < height(); y++) {
        for (int x = 0; x < width(); x++) {
            const uint32_t px = pixel_at(image.get(), x, y);
            dark += is_opaque_with_channels(px, 0, 40);
            light += is_opaque_with_channels(px, 215, 255);
        }
    }
    EXPECT_GE(dark, 20) << "too little black outline";
    EXPECT_GE(light, 20) << "too little white";
}

TEST_P(cursor_image, has_a_transparent_background)
{
    const int w = width() - 1, h = height() - 1;
    for (auto [x, y] : {std::pair{0, 0}, std::pair{w, 0}, std::pair{0, h}, std::pair{w, h}})
        EXPECT_EQ(alpha_at(image.get(), x, y), 0) << "corner (" << x << ", " << y << ")";
}

INSTANTIATE_TEST_SUITE_P(resources, cursor_image, testing::ValuesIn(cursor_cases),
                         [](const testing::TestParamInfo<cursor_case> &info) { return info.param.name; });

class overlay_image : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS);
        ASSERT_EQ(cairo_image_surface_get_format(image.get()), CAIRO_FORMAT_ARGB32);
        ASSERT_EQ(cairo_image_surface_get_width(image.get()), width);
        ASSERT_EQ(cairo_image_surface_get_height(image.get()), height);
    }

    static constexpr int width = 1024, height = 768;
    const surface_ptr image = load_png(popup_file("nobezel.png"));
};

// It is drawn over the live display every frame: any paint away from the edges hides instruments.
TEST_F(overlay_image, is_fully_transparent_over_the_display_picture)
{
    int painted = 0;
    for (int y = 8; y < height - 16; y++) {
        for (int x = 16; x < width - 16; x++) {
            if (alpha_at(image.get(), x, y) != 0 && painted++ == 0)
                ADD_FAILURE() << "first painted pixel at (" << x << ", " << y << ")";
        }
    }
    EXPECT_EQ(painted, 0);
}

TEST_F(overlay_image, covers_the_corners_and_the_top_strip_in_opaque_black)
{
    for (auto [x, y] : {std::pair{0, 0}, std::pair{width - 1, 0}, std::pair{0, height - 1},
                        std::pair{width - 1, height - 1}})
        EXPECT_EQ(pixel_at(image.get(), x, y), 0xff000000u) << "corner (" << x << ", " << y << ")";
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < width; x += 7)
            ASSERT_EQ(pixel_at(image.get(), x, y), 0xff000000u) << "top strip at (" << x << ", " << y << ")";
    }
}

TEST_F(overlay_image, frames_the_other_edges_with_a_thin_opaque_line)
{
    struct probe {
        int edge_x, edge_y, inside_x, inside_y;
    };
    const int mx = width / 2, my = height / 2;
    for (const probe &p :
         {probe{0, my, 3, my}, probe{width - 1, my, width - 4, my}, probe{mx, height - 1, mx, height - 4}}) {
        EXPECT_EQ(alpha_at(image.get(), p.edge_x, p.edge_y), 255)
            << "edge at (" << p.edge_x << ", " << p.edge_y << ")";
        EXPECT_EQ(alpha_at(image.get(), p.inside_x, p.inside_y), 0)
            << "3 px in at (" << p.inside_x << ", " << p.inside_y << ")";
    }
}

} // namespace
