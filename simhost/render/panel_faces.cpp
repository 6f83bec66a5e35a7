#include "render/panel_faces.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace simhost::detail {

namespace {

const int face_w = 1024, face_h = 768;
const double pi = 3.14159265358979323846;

struct rgb {
    double r, g, b;
};

// Pure magenta is reserved for the orientation marker, which tests look for.
const rgb marker_colour{255, 0, 255};
const rgb face_bg{10, 12, 16};
const rgb frame_white{255, 255, 255};
const rgb text_white{235, 235, 235};
const rgb dim_grey{150, 155, 165};
const rgb sky{40, 120, 210};
const rgb ground{140, 88, 38};
const rgb tape_bg{52, 54, 62};
const rgb green{60, 220, 90};
const rgb cyan{70, 200, 230};
const rgb amber{240, 170, 40};
const rgb yellow{250, 220, 40};
const rgb black{0, 0, 0};

void set_colour(cairo_t *cr, rgb c)
{
    cairo_set_source_rgb(cr, c.r / 255, c.g / 255, c.b / 255);
}

void set_font(cairo_t *cr, double size, bool bold = false, bool mono = false)
{
    cairo_select_font_face(cr, mono ? "monospace" : "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

enum class align { left, centre, right };

void text(cairo_t *cr, double x, double y, const char *s, align a = align::left)
{
    if (a != align::left) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, s, &e);
        x -= a == align::centre ? e.x_advance / 2 : e.x_advance;
    }
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s);
}

void fill_rect(cairo_t *cr, double x, double y, double w, double h, rgb c)
{
    set_colour(cr, c);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

// A border just outside the rectangle, so that the moving contents drawn
// inside it each frame never cover it.
void border(cairo_t *cr, double x, double y, double w, double h, rgb c)
{
    set_colour(cr, c);
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, x - 1, y - 1, w + 2, h + 2);
    cairo_stroke(cr);
}

void line(cairo_t *cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

double wrap_360(double deg)
{
    deg = std::fmod(deg, 360.0);
    return deg < 0 ? deg + 360 : deg;
}

// The simulated flight: smooth in time, so that consecutive frames look like flying.
struct flight {
    double roll, pitch, ias, alt, heading;
};

flight flight_at(double t)
{
    return {15 * std::sin(0.5 * t), 5 * std::sin(0.3 * t), 250 + 20 * std::sin(0.2 * t),
            12000 + 600 * std::sin(0.1 * t), wrap_360(90 + 30 * std::sin(0.05 * t))};
}

// Picture coordinates (y down) of each face's parts.
namespace pfd {
const double adi_x = 300, adi_y = 150, adi_w = 424, adi_h = 440;
const double cx = adi_x + adi_w / 2, cy = adi_y + adi_h / 2;
const double px_per_deg = 8;
const double speed_x = 150, speed_w = 110;
const double alt_x = 764, alt_w = 120;
const double hdg_y = 620, hdg_h = 56;
} // namespace pfd

namespace mfd {
const double engine_x = 20, engine_y = 110, engine_w = 180, engine_h = 630;
const double map_x = 220, map_y = 110, map_w = 784, map_h = 630;
const double cx = 612, cy = 425;
const double gauge_y = 200, gauge_r = 34;
const double column_x[2] = {65, 155};
const double egt_y = 330, egt_h = 170, egt_w = 40;

struct waypoint {
    const char *name;
    double x, y;
};
const waypoint route[] = {
    {"OSKAR", 330, 640}, {"BEROV", 470, 520}, {"KOLIN", 600, 360}, {"ZAMIR", 790, 260}, {"TELDA", 930, 180},
};
const size_t route_len = sizeof(route) / sizeof(route[0]);
const double ownship_px_per_s = 14;
} // namespace mfd

void draw_common_static(cairo_t *cr, const char *name)
{
    set_font(cr, 56, true);
    set_colour(cr, text_white);
    text(cr, 40, 84, name);

    set_colour(cr, frame_white);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, face_w - 1, face_h - 1);
    cairo_stroke(cr);
}

// The design's 1024 x 768 over the face's own pixels.
void scale_to_face(cairo_t *cr, int width, int height)
{
    cairo_scale(cr, static_cast<double>(width) / face_w, static_cast<double>(height) / face_h);
}

void draw_clock(cairo_t *cr, double t, long frame)
{
    char buf[64];
    snprintf(buf, sizeof(buf), "frame %ld  t %.2f s", frame, t);
    set_font(cr, 24, false, true);
    set_colour(cr, text_white);
    text(cr, face_w - 40, 64, buf, align::right);
}

void draw_pfd_static(cairo_t *cr, const char *name)
{
    using namespace pfd;
    fill_rect(cr, 0, 0, face_w, face_h, face_bg);

    fill_rect(cr, speed_x, adi_y, speed_w, adi_h, tape_bg);
    border(cr, speed_x, adi_y, speed_w, adi_h, dim_grey);
    fill_rect(cr, alt_x, adi_y, alt_w, adi_h, tape_bg);
    border(cr, alt_x, adi_y, alt_w, adi_h, dim_grey);
    border(cr, adi_x, adi_y, adi_w, adi_h, dim_grey);
    fill_rect(cr, adi_x, hdg_y, adi_w, hdg_h, tape_bg);
    border(cr, adi_x, hdg_y, adi_w, hdg_h, dim_grey);

    set_font(cr, 18, true);
    set_colour(cr, dim_grey);
    text(cr, speed_x + speed_w / 2, adi_y + adi_h + 26, "IAS KT", align::centre);
    text(cr, alt_x + alt_w / 2, adi_y + adi_h + 26, "ALT FT", align::centre);
    text(cr, adi_x - 12, hdg_y + 34, "HDG", align::right);

    // Flight mode annunciations.
    set_font(cr, 20, true);
    set_colour(cr, green);
    const char *modes[] = {"SPD", "ALT", "HDG", "AP1"};
    for (int i = 0; i < 4; i++)
        text(cr, adi_x + 53 + i * 106, adi_y - 16, modes[i], align::centre);

    set_font(cr, 20);
    set_colour(cr, cyan);
    text(cr, speed_x, 730, "NAV1 113.90");
    text(cr, alt_x + alt_w, 730, "BARO 29.92", align::right);

    draw_common_static(cr, name);
}

void draw_attitude(cairo_t *cr, const flight &f)
{
    using namespace pfd;
    cairo_save(cr);
    cairo_rectangle(cr, adi_x, adi_y, adi_w, adi_h);
    cairo_clip(cr);
    cairo_translate(cr, cx, cy);
    // Banking right turns the horizon counter-clockwise; pitching up moves it down.
    cairo_rotate(cr, -f.roll * pi / 180);
    cairo_translate(cr, 0, f.pitch * px_per_deg);
    fill_rect(cr, -700, -1400, 1400, 1400, sky);
    fill_rect(cr, -700, 0, 1400, 1400, ground);
    set_colour(cr, frame_white);
    cairo_set_line_width(cr, 3);
    line(cr, -700, 0, 700, 0);

    cairo_set_line_width(cr, 2);
    set_font(cr, 16, true);
    char buf[8];
    for (int p = -30; p <= 30; p += 5) {
        if (p == 0)
            continue;
        const double y = -p * px_per_deg;
        const double half = p % 10 == 0 ? 60 : 30;
        line(cr, -half, y, half, y);
        if (p % 10 == 0) {
            snprintf(buf, sizeof(buf), "%d", std::abs(p));
            text(cr, -half - 8, y + 6, buf, align::right);
            text(cr, half + 8, y + 6, buf);
        }
    }
    cairo_restore(cr);

    // Roll scale fixed to the screen, pointer turning with the horizon.
    const double r = 180;
    set_colour(cr, frame_white);
    cairo_set_line_width(cr, 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, -150 * pi / 180, -30 * pi / 180);
    cairo_stroke(cr);
    const int ticks[] = {-60, -45, -30, -20, -10, 10, 20, 30, 45, 60};
    for (int deg : ticks) {
        const double a = (deg - 90) * pi / 180;
        const double len = std::abs(deg) % 30 == 0 ? 18 : 10;
        line(cr, cx + r * std::cos(a), cy + r * std::sin(a), cx + (r + len) * std::cos(a),
             cy + (r + len) * std::sin(a));
    }
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -f.roll * pi / 180);
    set_colour(cr, yellow);
    cairo_move_to(cr, 0, -r + 2);
    cairo_line_to(cr, -10, -r + 18);
    cairo_line_to(cr, 10, -r + 18);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_restore(cr);

    // The aircraft symbol.
    cairo_set_line_width(cr, 8);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    set_colour(cr, black);
    line(cr, cx - 150, cy, cx - 60, cy);
    line(cr, cx + 60, cy, cx + 150, cy);
    cairo_set_line_width(cr, 5);
    set_colour(cr, yellow);
    line(cr, cx - 150, cy, cx - 60, cy);
    line(cr, cx + 60, cy, cx + 150, cy);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    fill_rect(cr, cx - 6, cy - 6, 12, 12, yellow);
}

void draw_readout(cairo_t *cr, double x, double y, double w, const char *s)
{
    fill_rect(cr, x, y - 20, w, 40, black);
    border(cr, x, y - 20, w, 40, frame_white);
    set_font(cr, 26, true, true);
    set_colour(cr, green);
    text(cr, x + w - 8, y + 10, s, align::right);
}

void draw_speed_tape(cairo_t *cr, double ias)
{
    using namespace pfd;
    const double px_per_kt = 4;
    cairo_save(cr);
    cairo_rectangle(cr, speed_x, adi_y, speed_w, adi_h);
    cairo_clip(cr);
    set_colour(cr, text_white);
    cairo_set_line_width(cr, 2);
    set_font(cr, 20);
    char buf[16];
    for (int v = static_cast<int>(std::floor((ias - 60) / 10)) * 10; v <= ias + 60; v += 10) {
        if (v < 0)
            continue;
        const double y = cy - (v - ias) * px_per_kt;
        line(cr, speed_x + speed_w - 18, y, speed_x + speed_w, y);
        if (v % 20 == 0) {
            snprintf(buf, sizeof(buf), "%d", v);
            text(cr, speed_x + speed_w - 26, y + 7, buf, align::right);
        }
    }
    cairo_restore(cr);
    snprintf(buf, sizeof(buf), "%3.0f", ias);
    draw_readout(cr, speed_x, cy, speed_w - 10, buf);
}

void draw_altitude_tape(cairo_t *cr, double alt)
{
    using namespace pfd;
    const double px_per_ft = 0.4;
    cairo_save(cr);
    cairo_rectangle(cr, alt_x, adi_y, alt_w, adi_h);
    cairo_clip(cr);
    set_colour(cr, text_white);
    cairo_set_line_width(cr, 2);
    set_font(cr, 18);
    char buf[16];
    for (int a = static_cast<int>(std::floor((alt - 600) / 100)) * 100; a <= alt + 600; a += 100) {
        const double y = cy - (a - alt) * px_per_ft;
        line(cr, alt_x, y, alt_x + 18, y);
        if (a % 200 == 0) {
            snprintf(buf, sizeof(buf), "%d", a);
            text(cr, alt_x + 24, y + 7, buf);
        }
    }
    cairo_restore(cr);
    snprintf(buf, sizeof(buf), "%5.0f", alt);
    draw_readout(cr, alt_x + 10, cy, alt_w - 10, buf);
}

void draw_heading_tape(cairo_t *cr, double hdg)
{
    using namespace pfd;
    const double px_per_hdg_deg = 8;
    cairo_save(cr);
    cairo_rectangle(cr, adi_x, hdg_y, adi_w, hdg_h);
    cairo_clip(cr);
    set_colour(cr, text_white);
    cairo_set_line_width(cr, 2);
    set_font(cr, 16);
    char buf[16];
    for (int h = static_cast<int>(std::floor((hdg - 30) / 5)) * 5; h <= hdg + 30; h += 5) {
        const double x = cx + (h - hdg) * px_per_hdg_deg;
        line(cr, x, hdg_y, x, hdg_y + (h % 10 == 0 ? 20 : 12));
        if (h % 10 == 0) {
            snprintf(buf, sizeof(buf), "%03d", static_cast<int>(wrap_360(h)));
            text(cr, x, hdg_y + 44, buf, align::centre);
        }
    }
    cairo_restore(cr);

    fill_rect(cr, cx - 36, hdg_y, 72, 30, black);
    border(cr, cx - 36, hdg_y, 72, 30, frame_white);
    snprintf(buf, sizeof(buf), "%03.0f", std::floor(hdg));
    set_font(cr, 22, true, true);
    set_colour(cr, green);
    text(cr, cx, hdg_y + 23, buf, align::centre);
}

void draw_pfd_live(cairo_t *cr, double t)
{
    const flight f = flight_at(t);
    draw_attitude(cr, f);
    draw_speed_tape(cr, f.ias);
    draw_altitude_tape(cr, f.alt);
    draw_heading_tape(cr, f.heading);
}

double gauge_angle(double fraction)
{
    return (135 + 270 * std::clamp(fraction, 0.0, 1.0)) * pi / 180;
}

void draw_engine_static(cairo_t *cr)
{
    using namespace mfd;
    fill_rect(cr, engine_x, engine_y, engine_w, engine_h, {22, 24, 30});
    border(cr, engine_x, engine_y, engine_w, engine_h, {70, 80, 90});
    set_font(cr, 16, true);
    set_colour(cr, dim_grey);
    const double mid = engine_x + engine_w / 2;
    text(cr, mid, engine_y + 30, "N1 %", align::centre);
    text(cr, mid, egt_y - 12, "EGT", align::centre);
    text(cr, mid, 570, "FF KG/H", align::centre);
    text(cr, mid, 650, "OIL PSI", align::centre);
    for (double x : column_x) {
        set_colour(cr, text_white);
        cairo_set_line_width(cr, 3);
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, gauge_y, gauge_r, gauge_angle(0), gauge_angle(1));
        cairo_stroke(cr);
        const double red = gauge_angle(104.0 / 110);
        set_colour(cr, {230, 40, 40});
        line(cr, x + (gauge_r - 8) * std::cos(red), gauge_y + (gauge_r - 8) * std::sin(red),
             x + (gauge_r + 4) * std::cos(red), gauge_y + (gauge_r + 4) * std::sin(red));
        border(cr, x - egt_w / 2, egt_y, egt_w, egt_h, dim_grey);
        set_font(cr, 20, true, true);
        set_colour(cr, green);
        text(cr, x, 680, x < mid ? "52" : "54", align::centre);
    }
}

void draw_map_static(cairo_t *cr)
{
    using namespace mfd;
    fill_rect(cr, map_x, map_y, map_w, map_h, {4, 8, 16});
    border(cr, map_x, map_y, map_w, map_h, {70, 80, 90});

    const double dash[] = {8, 6};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, 1.5);
    set_colour(cr, {60, 110, 130});
    for (int ring = 1; ring <= 3; ring++) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, ring * 100, 0, 2 * pi);
        cairo_stroke(cr);
    }
    cairo_set_dash(cr, nullptr, 0, 0);
    set_font(cr, 14);
    set_colour(cr, cyan);
    const char *ring_labels[] = {"10", "20", "30"};
    for (int ring = 1; ring <= 3; ring++)
        text(cr, cx + ring * 100 * 0.707 + 4, cy - ring * 100 * 0.707 - 4, ring_labels[ring - 1]);
    set_font(cr, 20, true);
    text(cr, cx, cy - 300 + 26, "N", align::centre);
    text(cr, cx + 300 - 20, cy + 7, "E", align::centre);
    text(cr, cx, cy + 300 - 10, "S", align::centre);
    text(cr, cx - 300 + 20, cy + 7, "W", align::centre);
    text(cr, map_x + map_w - 14, map_y + 26, "MAP  40 NM", align::right);

    set_colour(cr, green);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, route[0].x, route[0].y);
    for (size_t i = 1; i < route_len; i++)
        cairo_line_to(cr, route[i].x, route[i].y);
    cairo_stroke(cr);

    set_font(cr, 16, true);
    for (const waypoint &w : route) {
        set_colour(cr, text_white);
        cairo_move_to(cr, w.x, w.y - 9);
        cairo_line_to(cr, w.x + 9, w.y);
        cairo_line_to(cr, w.x, w.y + 9);
        cairo_line_to(cr, w.x - 9, w.y);
        cairo_close_path(cr);
        cairo_fill(cr);
        text(cr, w.x + 14, w.y - 10, w.name);
    }

    // Two airfields off the route.
    const waypoint airfields[] = {{"XKVA", 380, 230}, {"XKVB", 880, 620}};
    cairo_set_line_width(cr, 2);
    for (const waypoint &a : airfields) {
        set_colour(cr, cyan);
        cairo_new_sub_path(cr);
        cairo_arc(cr, a.x, a.y, 8, 0, 2 * pi);
        cairo_stroke(cr);
        text(cr, a.x + 14, a.y + 6, a.name);
    }
}

void draw_mfd_static(cairo_t *cr, const char *name)
{
    fill_rect(cr, 0, 0, face_w, face_h, {6, 10, 18});
    draw_engine_static(cr);
    draw_map_static(cr);
    draw_common_static(cr, name);
}

void draw_engines(cairo_t *cr, double t)
{
    using namespace mfd;
    char buf[16];
    for (int i = 0; i < 2; i++) {
        const double x = column_x[i];
        const double n1 = 84 + 3 * std::sin(0.4 * t + i * 0.9);
        const double egt = 640 + 25 * std::sin(0.3 * t + i);
        const double ff = 2400 + 120 * std::sin(0.35 * t + i);

        const double a = gauge_angle(n1 / 110);
        set_colour(cr, text_white);
        cairo_set_line_width(cr, 3);
        line(cr, x, gauge_y, x + (gauge_r - 3) * std::cos(a), gauge_y + (gauge_r - 3) * std::sin(a));
        set_font(cr, 20, true, true);
        set_colour(cr, green);
        snprintf(buf, sizeof(buf), "%.1f", n1);
        text(cr, x, gauge_y + 60, buf, align::centre);

        const double fill = egt_h * std::clamp((egt - 300) / 500, 0.0, 1.0);
        fill_rect(cr, x - egt_w / 2, egt_y + egt_h - fill, egt_w, fill, amber);
        set_colour(cr, green);
        snprintf(buf, sizeof(buf), "%.0f", egt);
        text(cr, x, egt_y + egt_h + 26, buf, align::centre);

        snprintf(buf, sizeof(buf), "%.0f", ff);
        text(cr, x, 600, buf, align::centre);
    }
}

void draw_ownship(cairo_t *cr, double t)
{
    using namespace mfd;
    double total = 0;
    for (size_t i = 1; i < route_len; i++)
        total += std::hypot(route[i].x - route[i - 1].x, route[i].y - route[i - 1].y);
    double along = std::fmod(std::max(t, 0.0) * ownship_px_per_s, total);
    size_t seg = 1;
    double seg_len = 0;
    for (; seg < route_len; seg++) {
        seg_len = std::hypot(route[seg].x - route[seg - 1].x, route[seg].y - route[seg - 1].y);
        if (along <= seg_len || seg == route_len - 1)
            break;
        along -= seg_len;
    }
    const waypoint &from = route[seg - 1], &to = route[seg];
    const double k = std::min(along / seg_len, 1.0);
    const double x = from.x + (to.x - from.x) * k, y = from.y + (to.y - from.y) * k;
    // North up, so the track is measured clockwise from picture up.
    const double track = std::atan2(to.x - from.x, from.y - to.y);

    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, track);
    set_colour(cr, yellow);
    cairo_set_line_width(cr, 4);
    line(cr, 0, -24, 0, 21);
    line(cr, -21, -3, 21, -3);
    line(cr, -9, 18, 9, 18);
    cairo_restore(cr);

    char buf[48];
    snprintf(buf, sizeof(buf), "TRK %03.0f\u00b0  GS %3.0f KT", wrap_360(track * 180 / pi),
             420 + 6 * std::sin(0.2 * t));
    set_font(cr, 18, true);
    set_colour(cr, text_white);
    text(cr, map_x + 14, map_y + 26, buf);
}

void draw_mfd_live(cairo_t *cr, double t)
{
    draw_engines(cr, t);
    draw_ownship(cr, t);
}

} // namespace

void draw_face_static(cairo_t *cr, face_kind kind, const char *name, int width, int height)
{
    cairo_save(cr);
    scale_to_face(cr, width, height);
    if (kind == face_kind::mfd)
        draw_mfd_static(cr, name);
    else
        draw_pfd_static(cr, name);
    cairo_restore(cr);
}

void draw_face_live(cairo_t *cr, face_kind kind, double sim_time, long frame, int width, int height)
{
    cairo_save(cr);
    scale_to_face(cr, width, height);
    if (kind == face_kind::mfd)
        draw_mfd_live(cr, sim_time);
    else
        draw_pfd_live(cr, sim_time);
    draw_clock(cr, sim_time, frame);
    cairo_restore(cr);
    // Last and unscaled, so that nothing covers it and it keeps its size:
    // the plugin's copies are checked by it.
    fill_rect(cr, 0, 0, 24, 24, marker_colour);
}

} // namespace simhost::detail
