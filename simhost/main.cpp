// simhost: runs one plugin headless through its whole life and reports.

#include "host.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int exit_bad_argument = 2;
const int exit_plugin_failed = 1;

const char usage[] =
    "usage: simhost --plugin <plugin folder> [--frames N] [--fps F] [--log FILE] [--no-gl]\n";

struct options {
    std::string plugin_dir;
    long frames = 120;
    double fps = 60;
    std::string log_file;
    bool gl = true;
};

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
        if (arg != "--plugin" && arg != "--frames" && arg != "--fps" && arg != "--log")
            return "unknown argument " + arg;
        if (i + 1 >= argc)
            return arg + " needs a value";
        const char *value = argv[++i];
        if (arg == "--plugin")
            opt.plugin_dir = value;
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

void print_summary(const simhost::host &h)
{
    printf("simhost: plugin \"%s\" (%s)\n", h.plugin_name().c_str(), h.plugin_signature().c_str());
    printf("simhost: %ld frames at %g fps, %.3f s simulated\n", h.frame_count(), h.frame_rate(),
           h.sim_time());
    if (h.unexpected_calls().empty()) {
        printf("simhost: unexpected calls: none\n");
    } else {
        printf("simhost: unexpected calls:");
        for (const std::string &call : h.unexpected_calls())
            printf(" %s x%zu", call.c_str(), h.unexpected_call_count(call));
        printf("\n");
    }
    if (h.off_thread_calls() > 0)
        printf("simhost: XPLM calls off the main thread: %zu\n", h.off_thread_calls());
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
        fprintf(stderr, "simhost: %s\n%s", bad.c_str(), usage);
        return exit_bad_argument;
    }

    simhost::host h;
    h.set_frame_rate(opt.fps);
    if (!opt.log_file.empty() && !h.set_log_file(opt.log_file)) {
        fprintf(stderr, "simhost: %s\n", h.error().c_str());
        return exit_bad_argument;
    }
    // The simulator has its GL context current before any plugin starts.
    if (opt.gl && !h.init_gl()) {
        fprintf(stderr, "simhost: %s (run with --no-gl to go on without drawing)\n", h.error().c_str());
        return exit_plugin_failed;
    }
    if (!h.load_plugin_folder(opt.plugin_dir) || !h.start() || !h.enable()) {
        fprintf(stderr, "simhost: %s\n", h.error().c_str());
        return exit_plugin_failed;
    }
    // Frames are counted as int in the loop below; parse() keeps them in range.
    h.run_frames(static_cast<int>(opt.frames));
    h.disable();
    h.stop();
    print_summary(h);
    h.unload();
    return 0;
}
