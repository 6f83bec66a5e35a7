// Draws the plugin's overlay and window cursors. The PNGs it writes are committed under
// resources/popup/; run it again after changing a picture here.

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <system_error>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr int display_width = 1024;
constexpr int display_height = 768;
// Cursors are drawn on a 32 x 32 grid and scaled to their size; the outline stays this wide in pixels.
constexpr double design_size = 32;
constexpr double outline_px = 1.5;

struct surface_deleter {
    void operator()(cairo_surface_t *s) const { cairo_surface_destroy(s); }
};
struct context_deleter {
    void operator()(cairo_t *cr) const { cairo_destroy(cr); }
};
using surface_ptr = std::unique_ptr<cairo_surface_t, surface_deleter>;
using context_ptr = std::unique_ptr<cairo_t, context_deleter>;

struct rgb {
    double r, g, b;
};
constexpr rgb white{1, 1, 1};
constexpr rgb close_red{0.82, 0.12, 0.1};

// Every cursor part is drawn twice: widened by the outline in black, then in its own colour, so
// parts that touch merge into one shape with one outline around the whole.
struct pen {
    cairo_t *cr;
    double grow; // 0 on the colour pass

    void fill() const
    {
        if (grow > 0) {
            cairo_set_line_width(cr, 2 * grow);
            cairo_stroke_preserve(cr);
        }
        cairo_fill(cr);
    }
    void stroke(double width) const
    {
        cairo_set_line_width(cr, width + 2 * grow);
        cairo_stroke(cr);
    }
};

template <typename Shape> void draw_outlined(cairo_t *cr, rgb colour, Shape shape)
{
    double dx = outline_px, dy = 0;
    cairo_device_to_user_distance(cr, &dx, &dy);
    cairo_set_source_rgb(cr, 0, 0, 0);
    shape(pen{cr, std::hypot(dx, dy)});
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    shape(pen{cr, 0});
}

void segment(cairo_t *cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
}

// Block arrow along +x from its tail at x0 to its tip at x1.
void arrow_path(cairo_t *cr, double x0, double x1, double shaft_w, double head_w, double head_len)
{
    const double base = x1 - head_len, s = shaft_w / 2, h = head_w / 2;
    cairo_move_to(cr, x0, -s);
    cairo_line_to(cr, base, -s);
    cairo_line_to(cr, base, -h);
    cairo_line_to(cr, x1, 0);
    cairo_line_to(cr, base, h);
    cairo_line_to(cr, base, s);
    cairo_line_to(cr, x0, s);
    cairo_close_path(cr);
}

// Arrow along x with tips at -half_len and +half_len.
void double_arrow_path(cairo_t *cr, double half_len, double shaft_w, double head_w, double head_len)
{
    const double base = half_len - head_len, s = shaft_w / 2, h = head_w / 2;
    cairo_move_to(cr, -half_len, 0);
    cairo_line_to(cr, -base, -h);
    cairo_line_to(cr, -base, -s);
    cairo_line_to(cr, base, -s);
    cairo_line_to(cr, base, -h);
    cairo_line_to(cr, half_len, 0);
    cairo_line_to(cr, base, h);
    cairo_line_to(cr, base, s);
    cairo_line_to(cr, -base, s);
    cairo_line_to(cr, -base, h);
    cairo_close_path(cr);
}

void rounded_rect_path(cairo_t *cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void mirror_left_right(cairo_t *cr)
{
    cairo_translate(cr, design_size, 0);
    cairo_scale(cr, -1, 1);
}

void mirror_top_bottom(cairo_t *cr)
{
    cairo_translate(cr, 0, design_size);
    cairo_scale(cr, 1, -1);
}

struct crease {
    double x, top, bottom;
};

// Black lines one pixel wide between fingers; on pixel centres so they stay crisp.
void draw_creases(cairo_t *cr, std::initializer_list<crease> creases)
{
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (const crease &c : creases)
        segment(cr, c.x, c.top, c.x, c.bottom);
    cairo_stroke(cr);
}

// The fingertip's top is the hot spot; the rest of the hand hangs below and to the right.
void draw_pointing_hand(cairo_t *cr)
{
    cairo_translate(cr, 16.5, 16.5);
    draw_outlined(cr, white, [](const pen &p) {
        segment(p.cr, 0, 2, 0, 8);
        segment(p.cr, 4, 6.5, 4, 9);
        p.stroke(4);
        segment(p.cr, 7.5, 7.5, 7.5, 9);
        segment(p.cr, 10.5, 8.5, 10.5, 9);
        p.stroke(3);
        segment(p.cr, -1, 10, -5, 6.5);
        p.stroke(3.4);
        rounded_rect_path(p.cr, -2, 7.5, 14, 5.5, 2.5);
        p.fill();
    });
    draw_creases(cr, {{2, 6, 10}, {6, 7, 10.5}, {9, 8, 10.5}});
}

// A closed hand seen from its back, holding what it drags.
void draw_grab_hand(cairo_t *cr)
{
    cairo_translate(cr, 18.5, 16.5);
    draw_outlined(cr, white, [](const pen &p) {
        segment(p.cr, -6, -5.5, -6, -1);
        segment(p.cr, -2, -6.5, -2, -1);
        segment(p.cr, 2, -6, 2, -1);
        segment(p.cr, 6, -4.5, 6, -1);
        p.stroke(4);
        segment(p.cr, -7, 3, -11, -1);
        p.stroke(3.6);
        rounded_rect_path(p.cr, -8, -4, 16, 12, 3.5);
        p.fill();
    });
    draw_creases(cr, {{-4, -6.5, -3}, {0, -7, -3}, {4, -5.5, -3}});
}

void draw_arrow_up(cairo_t *cr)
{
    cairo_translate(cr, 16, 16);
    cairo_rotate(cr, -pi / 2);
    draw_outlined(cr, white, [](const pen &p) {
        arrow_path(p.cr, -10.5, 11, 7, 19, 10.5);
        p.fill();
    });
}

void draw_arrow_down(cairo_t *cr)
{
    mirror_top_bottom(cr);
    draw_arrow_up(cr);
}

// A circular arrow round a dot: the dot is the knob's axis and the hot spot.
void draw_turn_left(cairo_t *cr)
{
    const double r = 10, width = 3.2, head_half_w = 4, head_len = 6;
    // Counter-clockwise from 11 o'clock round to the arrowhead's base; the tip points into the gap.
    const double tail = -pi / 2 - pi / 6, base = -pi / 2 + pi / 6 + head_len / r - 2 * pi;
    const double bx = r * std::cos(base), by = r * std::sin(base);
    const double tx = std::sin(base), ty = -std::cos(base); // unit tangent, counter-clockwise
    cairo_translate(cr, 16, 16);
    draw_outlined(cr, white, [&](const pen &p) {
        cairo_new_sub_path(p.cr);
        cairo_arc_negative(p.cr, 0, 0, r, tail, base);
        p.stroke(width);
        cairo_move_to(p.cr, bx - head_half_w * ty, by + head_half_w * tx);
        cairo_line_to(p.cr, bx + head_len * tx, by + head_len * ty);
        cairo_line_to(p.cr, bx + head_half_w * ty, by - head_half_w * tx);
        cairo_close_path(p.cr);
        p.fill();
        cairo_new_sub_path(p.cr);
        cairo_arc(p.cr, 0, 0, 2, 0, 2 * pi);
        p.fill();
    });
}

void draw_turn_right(cairo_t *cr)
{
    mirror_left_right(cr);
    draw_turn_left(cr);
}

void draw_close_button(cairo_t *cr)
{
    cairo_translate(cr, 16, 16);
    draw_outlined(cr, close_red, [](const pen &p) {
        cairo_arc(p.cr, 0, 0, 12.5, 0, 2 * pi);
        p.fill();
    });
    cairo_set_source_rgb(cr, 1, 1, 1);
    segment(cr, -5, -5, 5, 5);
    segment(cr, -5, 5, 5, -5);
    cairo_set_line_width(cr, 3.2);
    cairo_stroke(cr);
}

// A window with a title bar and, drawn over it, an arrow leaving it towards the upper right.
void draw_pop_out(cairo_t *cr)
{
    draw_outlined(cr, white, [](const pen &p) {
        cairo_rectangle(p.cr, 4.5, 12.5, 16, 15);
        p.fill();
    });
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, 4.5, 12.5, 16, 3.5);
    cairo_fill(cr);
    cairo_translate(cr, 16, 16);
    cairo_rotate(cr, -pi / 4);
    draw_outlined(cr, white, [](const pen &p) {
        arrow_path(p.cr, -6, 15, 4, 11, 7);
        p.fill();
    });
}

// Bottom-left/top-right diagonal, for the window's bottom-left corner.
void draw_resize_left(cairo_t *cr)
{
    cairo_translate(cr, 16, 16);
    cairo_rotate(cr, -pi / 4);
    draw_outlined(cr, white, [](const pen &p) {
        double_arrow_path(p.cr, 13.5, 4, 12, 7);
        p.fill();
    });
}

void draw_resize_right(cairo_t *cr)
{
    mirror_left_right(cr);
    draw_resize_left(cr);
}

struct cursor_picture {
    const char *name;
    int size;
    void (*draw)(cairo_t *);
};

constexpr cursor_picture cursor_pictures[] = {
    {"m_point", 32, draw_pointing_hand},  {"m_click", 32, draw_grab_hand},
    {"a_up", 32, draw_arrow_up},          {"a_dn", 32, draw_arrow_down},
    {"r_s_l", 24, draw_turn_left},        {"r_s_r", 24, draw_turn_right},
    {"r_m_l", 32, draw_turn_left},        {"r_m_r", 32, draw_turn_right},
    {"r_l_l", 48, draw_turn_left},        {"r_l_r", 48, draw_turn_right},
    {"b_close", 32, draw_close_button},   {"b_pop", 32, draw_pop_out},
    {"b_resize_l", 32, draw_resize_left}, {"b_resize_r", 32, draw_resize_right},
};

// Drawn over the live display every frame, so it stays transparent wherever the display shows:
// only the rounded corners, a thin frame and the free strip along the top are covered.
void draw_overlay(cairo_t *cr)
{
    const double radius = 12, frame = 2, top_strip = 4;
    rounded_rect_path(cr, frame / 2, frame / 2, display_width - frame, display_height - frame,
                      radius - frame / 2);
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.15);
    cairo_set_line_width(cr, frame);
    cairo_stroke(cr);

    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, 0, 0, display_width, display_height);
    rounded_rect_path(cr, 0, 0, display_width, display_height, radius);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, display_width, top_strip);
    cairo_fill(cr);
}

bool write_png(cairo_surface_t *surface, const std::string &path)
{
    cairo_surface_flush(surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "draw_resources: cannot write %s: %s\n", path.c_str(),
                     cairo_status_to_string(status));
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

// Draws one picture on a fresh transparent canvas, its user space scaled from `design` units.
template <typename Draw>
bool draw_png(const std::string &path, int width, int height, double design, Draw draw)
{
    surface_ptr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    context_ptr cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), width / design, width / design);
    cairo_set_line_cap(cr.get(), CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr.get(), CAIRO_LINE_JOIN_ROUND);
    draw(cr.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "draw_resources: cannot draw %s: %s\n", path.c_str(),
                     cairo_status_to_string(cairo_status(cr.get())));
        return false;
    }
    return write_png(surface.get(), path);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_resources <resources folder>\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    std::error_code ec;
    if (!std::filesystem::is_directory(root, ec)) {
        std::fprintf(stderr, "draw_resources: %s is not a folder\n", argv[1]);
        return 2;
    }
    const std::filesystem::path popup = root / "popup", cursors = popup / "cursors";
    if (!std::filesystem::create_directories(cursors, ec) && ec) {
        std::fprintf(stderr, "draw_resources: cannot make %s: %s\n", cursors.c_str(), ec.message().c_str());
        return 1;
    }

    // Keep going after a failure so one run reports every file that cannot be written.
    bool ok = draw_png((popup / "nobezel.png").string(), display_width, display_height, display_width,
                       draw_overlay);
    for (const cursor_picture &c : cursor_pictures) {
        if (!draw_png((cursors / (std::string(c.name) + ".png")).string(), c.size, c.size, design_size,
                      c.draw))
            ok = false;
    }
    return ok ? 0 : 1;
}
