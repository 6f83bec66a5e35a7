// What the live displays cost a frame. The plugin runs in the simulator host
// with its three windows full screen on three monitors; frames are paced in
// real time at each host frame rate, since the capture rate follows the
// clock, not the frame count. Per frame it measures the plugin's callbacks
// (the capture pass or the devices' after-draw callbacks, and the three
// window draws) with the GL work each queues finished inside its
// measurement. Every capture is counted per display, and in the same frames
// the same pictures are also copied the naive way, read back into memory and
// uploaded again, for comparison. It does so twice: with a panel aircraft,
// whose displays are copied out of the panel, then with an aircraft whose
// three G1000 screens are the simulator's own cockpit devices, copied each
// from its own screen.

#include "bench_timing.h"
#include "host.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using bench::clock_type;
using bench::mean;
using bench::paced_frames;
using bench::percentile;

namespace {

struct region {
    const char *name;
    const char *command;
    int x, y;
};
const std::array<region, 3> regions = {{
    {"PFD", "kyv/popup/PFD_NOBEZEL", 0, 2100},
    {"MFD", "kyv/popup/MFD_NOBEZEL", 1024, 0},
    {"PFD2", "kyv/popup/PFD_2_NOBEZEL", 2048, 0},
}};
const int region_w = 1024, region_h = 768;

// The cockpit devices of the second aircraft, in the order of `regions`.
const std::array<simhost::host::device, 3> devices = {
    simhost::host::device::g1000_pfd_1, simhost::host::device::g1000_mfd, simhost::host::device::g1000_pfd_2};

// Where each display's picture is read from: a rectangle of the panel, or a
// device's whole screen.
struct copy_source {
    GLuint fbo;
    int x, y;
};
using sources = std::array<copy_source, 3>;

// Captures seen since the last look, per display: the plugin's framebuffer
// calls go through GLEW's table, so the blit entry is wrapped once the
// plugin has loaded the table. A copy is told by the framebuffer it reads
// and where in it.
std::array<long, 3> blits{};
sources counted{};
// The display regions picker's picture: the whole panel, scaled down.
long panel_pictures = 0;
int panel_w = 0, panel_h = 0;
PFNGLBLITFRAMEBUFFERPROC real_blit = nullptr;

void GLAPIENTRY counting_blit(GLint sx0, GLint sy0, GLint sx1, GLint sy1, GLint dx0, GLint dy0, GLint dx1,
                              GLint dy1, GLbitfield mask, GLenum filter)
{
    GLint read = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    for (size_t i = 0; i < counted.size(); i++)
        if (static_cast<GLuint>(read) == counted[i].fbo && sx0 == counted[i].x && sy0 == counted[i].y)
            blits[i]++;
    if (sx0 == 0 && sy0 == 0 && sx1 == panel_w && sy1 == panel_h && dx1 - dx0 < sx1 - sx0)
        panel_pictures++;
    real_blit(sx0, sy0, sx1, sy1, dx0, dy0, dx1, dy1, mask, filter);
}

// The naive copy: what a plugin without framebuffer blits would do.
class readback_path {
public:
    readback_path() : pixels_(static_cast<size_t>(region_w) * region_h * 4)
    {
        glGenTextures(static_cast<GLsizei>(tex_.size()), tex_.data());
        for (GLuint t : tex_) {
            glBindTexture(GL_TEXTURE_2D, t);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, region_w, region_h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        }
    }
    ~readback_path() { glDeleteTextures(static_cast<GLsizei>(tex_.size()), tex_.data()); }
    readback_path(const readback_path &) = delete;
    readback_path &operator=(const readback_path &) = delete;

    // Copies the pictures flagged in `which`; microseconds.
    double copy(const sources &from, const std::array<bool, 3> &which)
    {
        glFinish();
        const auto t0 = clock_type::now();
        for (size_t i = 0; i < regions.size(); i++) {
            if (!which[i])
                continue;
            glBindFramebuffer(GL_READ_FRAMEBUFFER, from[i].fbo);
            glReadBuffer(GL_COLOR_ATTACHMENT0);
            glReadPixels(from[i].x, from[i].y, region_w, region_h, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
            glBindTexture(GL_TEXTURE_2D, tex_[i]);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, region_w, region_h, GL_RGBA, GL_UNSIGNED_BYTE,
                            pixels_.data());
        }
        glFinish();
        return std::chrono::duration<double, std::micro>(clock_type::now() - t0).count();
    }

private:
    std::vector<unsigned char> pixels_;
    std::array<GLuint, 3> tex_{};
};

struct options {
    std::string plugin_dir = KYV_PLUGIN_DIR;
    double seconds = 5;
    std::vector<double> rates = {30, 60, 144};
    int monitor_w = 1024, monitor_h = 768;
};

bool parse(int argc, char **argv, options &o)
{
    for (int i = 1; i < argc; i++) {
        const std::string a = argv[i];
        const bool has_value = i + 1 < argc;
        if (a == "--plugin" && has_value) {
            o.plugin_dir = argv[++i];
        } else if (a == "--seconds" && has_value) {
            o.seconds = std::atof(argv[++i]);
        } else if (a == "--monitor" && has_value) {
            if (sscanf(argv[++i], "%dx%d", &o.monitor_w, &o.monitor_h) != 2)
                o.monitor_w = 0;
        } else if (a == "--rates" && has_value) {
            o.rates.clear();
            std::string list = argv[++i];
            for (size_t at = 0; at < list.size();) {
                const size_t comma = list.find(',', at);
                o.rates.push_back(std::atof(list.substr(at, comma - at).c_str()));
                at = comma == std::string::npos ? list.size() : comma + 1;
            }
        } else {
            fprintf(stderr,
                    "usage: capture_bench [--plugin DIR] [--seconds S] [--rates 30,60,144] [--monitor WxH]\n"
                    "  DIR is a built kyv_pop folder (default: this build's); WxH is the size of\n"
                    "  each display's monitor (default 1024x768)\n");
            return false;
        }
    }
    const bool rates_ok = std::all_of(o.rates.begin(), o.rates.end(), [](double r) { return r > 0; });
    if (o.seconds <= 0 || o.rates.empty() || !rates_ok || o.monitor_w <= 0 || o.monitor_h <= 0) {
        fprintf(stderr, "capture_bench: seconds, rates and the monitor size must be positive\n");
        return false;
    }
    return true;
}

// A copy of the plugin folder whose settings put each display full screen
// on a monitor of its own.
std::string prepare_plugin(const std::string &from)
{
    const fs::path dir = fs::temp_directory_path() / ("kyv_bench_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(from, dir / "kyv_pop", fs::copy_options::recursive);
    std::ofstream cfg(dir / "kyv_pop" / "settings" / "popups.cfg");
    cfg << "pfd_nbzl_monitor_start = 1\nmfd_nbzl_monitor_start = 2\npfd_2_nbzl_monitor_start = 3\n";
    return (dir / "kyv_pop").string();
}

// The frame rate reached and the plugin's cost per frame.
struct frame_cost {
    double achieved_fps = 0;
    double plugin_median = 0, plugin_p95 = 0;
};

frame_cost cost_of(const std::vector<double> &plugin, double elapsed)
{
    return {static_cast<double>(plugin.size()) / elapsed, percentile(plugin, 0.5), percentile(plugin, 0.95)};
}

struct rate_result : frame_cost {
    double rate = 0;
    double blit_per_frame = 0, readback_per_frame = 0;
    double blit_per_capture = 0, readback_per_capture = 0;
    std::array<double, 3> captures_per_s{};
};

rate_result run_rate(simhost::host &h, readback_path &naive, double rate, double seconds)
{
    std::vector<double> plugin, blit, readback, blit_capturing, readback_capturing;
    std::array<long, 3> captured{};
    const double elapsed = paced_frames(h, rate, seconds, [&] {
        blits = {};
        h.run_frames(1);
        const simhost::plugin_timing &t = h.last_plugin_timing();
        plugin.push_back(t.draw_callbacks_us + t.window_draws_us);
        blit.push_back(t.draw_callbacks_us);

        std::array<bool, 3> which{};
        bool any = false;
        for (size_t i = 0; i < regions.size(); i++) {
            which[i] = blits[i] > 0;
            captured[i] += blits[i];
            any = any || which[i];
        }
        const double naive_us = any ? naive.copy(counted, which) : 0;
        readback.push_back(naive_us);
        if (any) {
            blit_capturing.push_back(t.draw_callbacks_us);
            readback_capturing.push_back(naive_us);
        }
    });

    rate_result r;
    static_cast<frame_cost &>(r) = cost_of(plugin, elapsed);
    r.rate = rate;
    r.blit_per_frame = mean(blit);
    r.readback_per_frame = mean(readback);
    r.blit_per_capture = mean(blit_capturing);
    r.readback_per_capture = mean(readback_capturing);
    for (size_t i = 0; i < regions.size(); i++)
        r.captures_per_s[i] = static_cast<double>(captured[i]) / elapsed;
    return r;
}

struct picker_result : frame_cost {
    double callbacks_per_frame = 0, window_per_frame = 0;
    double callbacks_per_picture = 0;
    double pictures_per_s = 0;
};

picker_result run_picker(simhost::host &h, double rate, double seconds)
{
    std::vector<double> plugin, callbacks, window, callbacks_taking;
    long pictures = 0;
    const double elapsed = paced_frames(h, rate, seconds, [&] {
        panel_pictures = 0;
        h.run_frames(1);
        const simhost::plugin_timing &t = h.last_plugin_timing();
        plugin.push_back(t.draw_callbacks_us + t.window_draws_us);
        callbacks.push_back(t.draw_callbacks_us);
        window.push_back(t.window_draws_us);
        if (panel_pictures > 0)
            callbacks_taking.push_back(t.draw_callbacks_us);
        pictures += panel_pictures;
    });
    picker_result r;
    static_cast<frame_cost &>(r) = cost_of(plugin, elapsed);
    r.callbacks_per_frame = mean(callbacks);
    r.window_per_frame = mean(window);
    r.callbacks_per_picture = mean(callbacks_taking);
    r.pictures_per_s = static_cast<double>(pictures) / elapsed;
    return r;
}

// The display regions picker alone, the displays closed: what its picture
// and window cost a frame while it is open, and that closed it costs
// nothing, its pass not even registered. False when it took more than five
// pictures a second or none while open, or any while closed.
bool bench_picker(simhost::host &h, const options &o)
{
    h.load_aircraft({});
    for (const region &r : regions)
        h.command(r.command, simhost::host::press::once);
    counted = {};
    for (copy_source &c : counted)
        c.fbo = ~0u; // no display's copy is counted here
    panel_w = h.panel_width();
    panel_h = h.panel_height();
    h.run_frames(2);
    printf("\npicker preview: the display regions window alone, on the main monitor\n");
    printf("%-7s %6s %8s | %8s %8s | %10s %10s %11s | %10s | %s\n", "window", "rate", "fps", "median", "p95",
           "callbacks", "window", "callb/pic", "pictures/s", "draw callbacks registered");
    const size_t closed_callbacks = h.draw_callback_count();
    bool ok = true;
    for (double rate : o.rates) {
        for (const bool open : {false, true}) {
            if (open)
                h.command("kyv/popup/regions", simhost::host::press::once);
            const size_t registered = h.draw_callback_count();
            const picker_result r = run_picker(h, rate, o.seconds);
            if (open)
                h.command("kyv/popup/regions", simhost::host::press::once);
            printf("%-7s %6.0f %8.1f | %8.0f %8.0f | %10.0f %10.0f %11.0f | %10.1f | %zu\n",
                   open ? "open" : "closed", rate, r.achieved_fps, r.plugin_median, r.plugin_p95,
                   r.callbacks_per_frame, r.window_per_frame, r.callbacks_per_picture, r.pictures_per_s,
                   registered);
            if (open)
                ok = ok && r.pictures_per_s > 0 && r.pictures_per_s <= 5.0 &&
                     registered == closed_callbacks + 1;
            else
                ok = ok && r.pictures_per_s == 0 && registered == closed_callbacks;
        }
    }
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    options o;
    if (!parse(argc, argv, o))
        return 2;

    simhost::host h;
    // The main monitor, then one monitor per display to its right.
    std::vector<simhost::rect> monitors = {{0, o.monitor_h, o.monitor_w, 0}};
    for (int i = 1; i <= 3; i++)
        monitors.push_back({i * o.monitor_w, o.monitor_h, (i + 1) * o.monitor_w, 0});
    h.set_monitors(monitors);
    h.set_backgrounds(false);
    if (!h.init_gl()) {
        fprintf(stderr, "capture_bench: no GL context: %s\n", h.error().c_str());
        return 1;
    }
    const std::string plugin_dir = prepare_plugin(o.plugin_dir);
    if (!h.load_plugin_folder(plugin_dir) || !h.start() || !h.enable()) {
        fprintf(stderr, "capture_bench: the plugin did not come up: %s\n", h.error().c_str());
        return 1;
    }
    real_blit = __glewBlitFramebuffer;
    if (real_blit == nullptr) {
        fprintf(stderr, "capture_bench: the plugin loaded no framebuffer blit entry point\n");
        return 1;
    }
    __glewBlitFramebuffer = counting_blit;
    for (const region &r : regions)
        h.command(r.command, simhost::host::press::once);
    h.set_plugin_timing(true, true);

    printf("renderer: %s\n", h.gl_renderer().c_str());
    printf("three displays full screen on %d x %d monitors, %.0f s per rate; times in microseconds per "
           "frame\n\n",
           o.monitor_w, o.monitor_h, o.seconds);
    bool rate_ok = true, cheaper = true, captured = true;
    {
        readback_path naive;
        for (const bool from_devices : {false, true}) {
            if (from_devices) {
                // The simulator's own G1000 aircraft: each display copies its device's screen.
                std::vector<simhost::host::cockpit_device> cockpit;
                for (simhost::host::device d : devices)
                    cockpit.push_back({d});
                h.load_aircraft(cockpit);
                h.run_frames(1);
                for (size_t i = 0; i < devices.size(); i++)
                    counted[i] = {h.device_framebuffer(devices[i]), 0, 0};
            } else {
                for (size_t i = 0; i < regions.size(); i++)
                    counted[i] = {h.panel_framebuffer(), regions[i].x, regions[i].y};
            }
            printf("%s\n", from_devices ? "\ndevice copy: each display from its cockpit device's own screen"
                                        : "panel copy: each display from its rectangle of the panel");
            printf("%6s %8s | %8s %8s | %10s %10s %7s | %10s %10s | %s\n", "rate", "fps", "median", "p95",
                   "blit", "read-back", "ratio", "blit/cap", "rb/cap", "captures/s PFD MFD PFD2");
            for (double rate : o.rates) {
                const rate_result r = run_rate(h, naive, rate, o.seconds);
                const double ratio = r.blit_per_frame > 0 ? r.readback_per_frame / r.blit_per_frame : 0;
                printf(
                    "%6.0f %8.1f | %8.0f %8.0f | %10.0f %10.0f %6.1fx | %10.0f %10.0f | %5.1f %5.1f %5.1f\n",
                    r.rate, r.achieved_fps, r.plugin_median, r.plugin_p95, r.blit_per_frame,
                    r.readback_per_frame, ratio, r.blit_per_capture, r.readback_per_capture,
                    r.captures_per_s[0], r.captures_per_s[1], r.captures_per_s[2]);
                for (double c : r.captures_per_s) {
                    rate_ok = rate_ok && c <= 20.0;
                    captured = captured && c > 0;
                }
                cheaper = cheaper && r.blit_per_frame < r.readback_per_frame;
            }
        }
    }
    const bool picker_ok = bench_picker(h, o);
    __glewBlitFramebuffer = real_blit;
    printf("\nevery display captured at every rate, from both sources: %s\n", captured ? "yes" : "NO");
    printf("at most 20 captures per second per display at every rate: %s\n", rate_ok ? "yes" : "NO");
    printf("the blit costs less per frame than the read-back at every rate: %s\n", cheaper ? "yes" : "NO");
    printf("the picker took at most 5 pictures a second while open, and none while closed, its pass not "
           "registered: %s\n",
           picker_ok ? "yes" : "NO");

    h.disable();
    h.stop();
    h.unload();
    fs::remove_all(fs::path(plugin_dir).parent_path());
    return rate_ok && cheaper && captured && picker_ok ? 0 : 1;
}
