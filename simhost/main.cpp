// headless_sim: runs one plugin in the headless simulator, through a scenario
// if given, and sums up what happened.

#include "host.h"
#include "scenario/scenario.h"
#include "scenario/scenario_runner.h"

#include <atomic>
#include <cerrno>
#include <algorithm>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const int exit_bad_argument = 2;
const int exit_failed = 1;
const long default_frames = 120;

const char usage[] =
    "usage: headless_sim --plugin <plugin folder> [--scenario FILE] [--out DIR]\n"
    "                    [--frames N] [--fps F] [--log FILE] [--no-gl] [--quiet] [--keep-going]\n"
    "                    [--timing] [--live]\n"
    "Runs the plugin in a headless simulator; --frames and --fps override the\n"
    "scenario's. Screenshots go to --out (default: out). A scenario\n"
    "action that cannot be done stops the run, or with --keep-going is reported.\n"
    "--timing sums up what the plugin's draw and window callbacks cost a frame.\n"
    "--live paces the frames at the scenario's rate in real time and runs past\n"
    "its last frame until SIGINT or SIGTERM, then disables and stops the plugin.\n";

struct options {
    std::string plugin_dir;
    std::string scenario_file;
    std::string out_dir = "out";
    long frames = -1;
    double fps = 0;
    std::string log_file;
    bool gl = true;
    bool quiet = false;
    bool keep_going = false;
    bool timing = false;
    bool live = false;
};

// Set by SIGINT or SIGTERM in a live run; the frame loop ends at its next frame.
std::atomic<bool> stop_requested{false};

void request_stop(int)
{
    stop_requested = true;
}

bool parse_long(const char *s, long &out)
{
    char *end = nullptr;
    errno = 0;
    long v = strtol(s, &end, 10);
    if (errno != 0 || end == s || *end != '\0' || v < 0 || v > 100000000)
        return false;
    out = v;
    return true;
}

bool parse_double(const char *s, double &out)
{
    char *end = nullptr;
    double v = strtod(s, &end);
    if (end == s || *end != '\0' || !std::isfinite(v) || v <= 0)
        return false;
    out = v;
    return true;
}

// An empty result means the options are good.
std::string parse(int argc, char **argv, options &opt)
{
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--no-gl") {
            opt.gl = false;
            continue;
        }
        if (arg == "--quiet") {
            opt.quiet = true;
            continue;
        }
        if (arg == "--keep-going") {
            opt.keep_going = true;
            continue;
        }
        if (arg == "--timing") {
            opt.timing = true;
            continue;
        }
        if (arg == "--live") {
            opt.live = true;
            continue;
        }
        if (arg != "--plugin" && arg != "--scenario" && arg != "--out" && arg != "--frames" &&
            arg != "--fps" && arg != "--log")
            return "unknown argument " + arg;
        if (i + 1 >= argc)
            return arg + " needs a value";
        const char *value = argv[++i];
        if (arg == "--plugin")
            opt.plugin_dir = value;
        else if (arg == "--scenario")
            opt.scenario_file = value;
        else if (arg == "--out")
            opt.out_dir = value;
        else if (arg == "--log")
            opt.log_file = value;
        else if (arg == "--frames" && !parse_long(value, opt.frames))
            return std::string("--frames wants a whole number of frames, not ") + value;
        else if (arg == "--fps" && !parse_double(value, opt.fps))
            return std::string("--fps wants a positive number, not ") + value;
    }
    if (opt.plugin_dir.empty())
        return "--plugin is required";
    return std::string();
}

std::string describe(const simhost::rect &r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.bottom) + ") " + std::to_string(r.width()) +
           " x " + std::to_string(r.height());
}

std::string where(const simhost::host::window_info &w)
{
    if (!w.visible)
        return "hidden";
    if (w.popped_out)
        return "popped out at " + describe(w.os) + " pixels";
    if (w.in_vr)
        return "in VR";
    std::string s = "at " + describe(w.geometry);
    if (w.mode == 2)
        s += ", full screen on monitor " + std::to_string(w.mode_monitor);
    else if (!w.on_monitors.empty())
        s += ", on monitor " + std::to_string(w.on_monitors.front());
    else
        s += ", on no monitor";
    return s;
}

// `windows` as they were at the end of the run, before the plugin tidied up.
void print_summary(const simhost::host &h, const std::vector<simhost::host::window_info> &windows,
                   const std::vector<std::string> &shots)
{
    printf("headless_sim: plugin \"%s\" (%s)\n", h.plugin_name().c_str(), h.plugin_signature().c_str());
    printf("headless_sim: %ld frames at %g fps, %.3f s simulated\n", h.frame_count(), h.frame_rate(),
           h.sim_time());
    const auto &monitors = h.monitors();
    const auto global = h.global_monitors();
    for (size_t i = 0; i < monitors.size(); i++) {
        std::string sim = ", no simulator";
        for (const simhost::indexed_monitor &g : global)
            if (g.index == static_cast<int>(i))
                sim = ", simulator full screen: " + describe(g.bounds) + " boxels";
        printf("headless_sim: monitor %zu %s pixels%s\n", i, describe(monitors[i]).c_str(), sim.c_str());
    }
    if (global.empty())
        printf("headless_sim: the simulator runs in a window of %d x %d boxels\n", h.screen_width(),
               h.screen_height());
    if (windows.empty())
        printf("headless_sim: windows: none\n");
    for (const auto &w : windows)
        printf("headless_sim: window %d \"%s\": %s\n", w.number, w.title.c_str(), where(w).c_str());
    for (const std::string &s : shots)
        printf("headless_sim: screenshot %s\n", s.c_str());
    if (h.unexpected_calls().empty()) {
        printf("headless_sim: unexpected calls: none\n");
    } else {
        printf("headless_sim: unexpected calls:");
        for (const std::string &call : h.unexpected_calls())
            printf(" %s x%zu", call.c_str(), h.unexpected_call_count(call));
        printf("\n");
    }
    if (h.off_thread_calls() > 0)
        printf("headless_sim: XPLM calls off the main thread: %zu\n", h.off_thread_calls());
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}

void print_timing(const std::vector<simhost::plugin_timing> &frames)
{
    std::vector<double> draws, windows;
    for (const simhost::plugin_timing &t : frames) {
        draws.push_back(t.draw_callbacks_us);
        windows.push_back(t.window_draws_us);
    }
    printf("headless_sim: plugin time per frame over %zu frames, GL work included: draw callbacks median "
           "%.0f us, "
           "95th percentile %.0f us; window draws median %.0f us, 95th percentile %.0f us\n",
           frames.size(), percentile(draws, 0.5), percentile(draws, 0.95), percentile(windows, 0.5),
           percentile(windows, 0.95));
}

int fail(int code, const std::string &why)
{
    fprintf(stderr, "headless_sim: %s\n", why.c_str());
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        fputs(usage, stdout);
        return 0;
    }
    options opt;
    std::string bad = parse(argc, argv, opt);
    if (!bad.empty()) {
        fprintf(stderr, "headless_sim: %s\n%s", bad.c_str(), usage);
        return exit_bad_argument;
    }

    // The scenario is checked before anything is loaded.
    simhost::scenario sc;
    sc.file = "(no scenario)";
    sc.frames = default_frames;
    std::string error;
    if (!opt.scenario_file.empty() && !simhost::load_scenario(opt.scenario_file, sc, error))
        return fail(exit_bad_argument, error);
    if (opt.frames >= 0)
        sc.frames = opt.frames;
    if (opt.fps > 0)
        sc.fps = opt.fps;

    simhost::host h;
    h.set_frame_rate(sc.fps);
    if (!simhost::apply_setup(h, sc, error))
        return fail(exit_bad_argument, error);
    if (!opt.log_file.empty() && !h.set_log_file(opt.log_file))
        return fail(exit_bad_argument, h.error());
    std::error_code ec;
    std::filesystem::create_directories(opt.out_dir, ec);
    if (ec)
        return fail(exit_bad_argument, "cannot make the folder " + opt.out_dir + ": " + ec.message());
    // The simulator has its GL context current before any plugin starts.
    if (opt.gl && !h.init_gl())
        return fail(exit_failed, h.error() + " (run with --no-gl to go on without drawing)");
    if (!h.load_plugin_folder(opt.plugin_dir) || !h.start() || !h.enable())
        return fail(exit_failed, h.error());

    simhost::scenario_runner runner(h, sc, opt.out_dir, opt.quiet ? nullptr : stdout);
    runner.set_keep_going(opt.keep_going);
    runner.set_timing(opt.timing);
    if (opt.live) {
        std::signal(SIGINT, request_stop);
        std::signal(SIGTERM, request_stop);
        runner.set_live(&stop_requested);
    }
    h.set_plugin_timing(opt.timing, true);
    const bool ok = runner.run();
    if (!ok && !opt.keep_going)
        fprintf(stderr, "headless_sim: %s\n", runner.error().c_str());
    const std::vector<simhost::host::window_info> windows = h.windows();
    if (h.plugin_enabled())
        h.disable();
    h.stop();
    print_summary(h, windows, runner.screenshots());
    if (opt.timing)
        print_timing(runner.timings());
    if (runner.failed_actions() > 0)
        printf("headless_sim: actions that could not be done: %d\n", runner.failed_actions());
    h.unload();
    return ok || opt.keep_going ? 0 : exit_failed;
}
