// Hours of use in minutes: the plugin is enabled and disabled a thousand times
// with its three windows open, then its windows are toggled ten thousand times
// in one session. Along the way it counts what the process holds: live GL
// textures and framebuffers, resident memory and heap in use. Whatever the
// plugin fails to give back shows up as a count that does not come back or
// as memory that keeps growing after the warm-up.

#include "host.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace fs = std::filesystem;
using clock_type = std::chrono::steady_clock;

namespace {

const std::array<const char *, 3> display_commands = {
    "kyv/popup/PFD_NOBEZEL",
    "kyv/popup/MFD_NOBEZEL",
    "kyv/popup/PFD_2_NOBEZEL",
};

// The plugin builds its menu and opens its start-up windows at the 51st
// flight loop after an enable.
const int startup_frames = 51;
// Enough frames for every open window to be captured and drawn at 60 fps,
// whose capture is throttled to 20 a second.
const int frames_open = 4;
// Memory figures settle once the allocators and Mesa's caches have seen a
// few cycles; growth is judged from here on.
const int warmup_cycles = 50;
const int cycle_row_every = 100;
const int toggle_row_every = 1000;
// Blocks from this size up (overlay surfaces, texture storage: 3 MiB each)
// get mappings of their own. glibc otherwise raises this threshold at the
// first large free and serves them from the heap, where small blocks split
// the holes they leave; the heap then grows by megabytes a toggle with
// nothing more in use, and resident memory would show that, not a leak.
const int large_block_bytes = 1024 * 1024;
// Allowed growth from the end of the warm-up to the end of the run: a fixed
// margin, plus what the host keeps on purpose for every window ever made so
// that stale handles are recognised (a 208-byte record, its title and its
// slot in a vector, with the allocator's headers: under 320 bytes).
const double resident_margin_mib = 8;
const double heap_margin_kib = 512;
const double host_window_record_bytes = 320;

// The sanitizers' allocator keeps freed blocks in quarantine and answers
// glibc's heap statistics with nothing: memory figures mean little there.
#ifdef KYV_SANITIZED
const bool sanitized = true;
#else
const bool sanitized = false;
#endif

struct options {
    std::string plugin_dir = KYV_PLUGIN_DIR;
    int cycles = 1000;
    int toggles = 10000;
    int toggles_per_frame = 1;
    // Cycles that also run the deferred start-up, so the menu is built and
    // torn down too: the first and every startup_every-th after it.
    int startup_every = 10;
    bool default_malloc = false;
    int monitor_w = 320, monitor_h = 240;
};

void usage()
{
    fprintf(stderr,
            "usage: soak [--cycles N] [--toggles N] [--toggles-per-frame N] [--startup-every N]\n"
            "            [--monitor WxH] [--plugin DIR] [--default-malloc]\n"
            "  enable/disable cycles (default 1000); toggles in one session (default 10000); toggles\n"
            "  between two frames (default 1); the start-up runs in the first cycle and every Nth\n"
            "  (default 10); WxH: the one monitor (default 320x240); DIR: a built kyv_pop folder\n"
            "  (default: this build's); --default-malloc: leave glibc's mmap threshold dynamic\n");
}

bool parse_count(const char *text, int minimum, int &out)
{
    char *end = nullptr;
    const long v = strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < minimum || v > 100000000)
        return false;
    out = static_cast<int>(v);
    return true;
}

bool parse_value(const std::string &name, const char *value, options &o)
{
    if (name == "--cycles")
        return parse_count(value, 0, o.cycles);
    if (name == "--toggles")
        return parse_count(value, 0, o.toggles);
    if (name == "--toggles-per-frame")
        return parse_count(value, 1, o.toggles_per_frame);
    if (name == "--startup-every")
        return parse_count(value, 1, o.startup_every);
    if (name == "--monitor")
        return sscanf(value, "%dx%d", &o.monitor_w, &o.monitor_h) == 2 && o.monitor_w > 0 && o.monitor_h > 0;
    if (name == "--plugin") {
        o.plugin_dir = value;
        return true;
    }
    return false;
}

bool parse(int argc, char **argv, options &o)
{
    for (int i = 1; i < argc; i++) {
        const std::string a = argv[i];
        bool ok = false;
        if (a == "--default-malloc") {
            o.default_malloc = true;
            ok = true;
        } else if (i + 1 < argc) {
            ok = parse_value(a, argv[i + 1], o);
            i++;
        }
        if (!ok) {
            usage();
            return false;
        }
    }
    return true;
}

// The plugin writes every log line to standard output too; thousands of
// cycles of it would bury the report, so the report gets the real standard
// output and the plugin a muted one.
class muted_stdout {
public:
    muted_stdout()
    {
        fflush(stdout);
        const int saved = dup(STDOUT_FILENO);
        const int null_fd = open("/dev/null", O_WRONLY);
        if (saved >= 0 && null_fd >= 0)
            dup2(null_fd, STDOUT_FILENO);
        if (null_fd >= 0)
            close(null_fd);
        report_ = saved >= 0 ? fdopen(saved, "w") : nullptr;
    }
    ~muted_stdout()
    {
        fflush(stdout);
        if (report_ == nullptr)
            return;
        fflush(report_);
        dup2(fileno(report_), STDOUT_FILENO);
        fclose(report_);
    }
    muted_stdout(const muted_stdout &) = delete;
    muted_stdout &operator=(const muted_stdout &) = delete;

    FILE *report() const { return report_ != nullptr ? report_ : stderr; }

private:
    FILE *report_ = nullptr;
};

// A copy of the built plugin folder, with no settings file yet, removed at
// the end.
class plugin_copy {
public:
    explicit plugin_copy(const std::string &from)
        : root_(fs::temp_directory_path() / ("kyv_soak_" + std::to_string(getpid())))
    {
        fs::remove_all(root_);
        fs::create_directories(root_);
        fs::copy(from, dir(), fs::copy_options::recursive);
        fs::remove(fs::path(dir()) / "settings" / "popups.cfg");
    }
    ~plugin_copy()
    {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    plugin_copy(const plugin_copy &) = delete;
    plugin_copy &operator=(const plugin_copy &) = delete;

    std::string dir() const { return (root_ / "kyv_pop").string(); }

private:
    fs::path root_;
};

struct gl_counts {
    long textures = 0;
    long framebuffers = 0;
    bool operator==(const gl_counts &o) const
    {
        return textures == o.textures && framebuffers == o.framebuffers;
    }
};

// Live names of one kind, found by asking GL about each name from 1 up. A
// fresh name (generated and deleted at once) bounds the search: an allocator
// that hands out names above the highest ever used puts it above every live
// one; one that hands out the lowest free name leaves gaps no wider than the
// objects freed at once, a handful here, far below the run of unused names
// the search must also see before it stops.
template <typename is_name_fn> long count_live(is_name_fn is_name, GLuint fresh)
{
    const GLuint unused_run = 4096;
    long live = 0;
    GLuint unused = 0;
    for (GLuint n = 1; n <= fresh || unused < unused_run; n++) {
        if (is_name(n)) {
            live++;
            unused = 0;
        } else {
            unused++;
        }
    }
    return live;
}

// Counts every texture and framebuffer of the current context, the host's
// own included. A name counts once it was bound: GL creates the object then.
gl_counts count_gl_objects()
{
    GLuint tex = 0, fbo = 0;
    glGenTextures(1, &tex);
    glDeleteTextures(1, &tex);
    glGenFramebuffers(1, &fbo);
    glDeleteFramebuffers(1, &fbo);
    gl_counts c;
    c.textures = count_live([](GLuint n) { return glIsTexture(n) == GL_TRUE; }, tex);
    c.framebuffers = count_live([](GLuint n) { return glIsFramebuffer(n) == GL_TRUE; }, fbo);
    return c;
}

// A texture and a framebuffer made and deleted around two counts: a count
// that cannot see them would pass every run, whatever the plugin did.
bool census_sees_objects()
{
    const gl_counts before = count_gl_objects();
    GLuint tex = 0, fbo = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    const gl_counts during = count_gl_objects();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &tex);
    const gl_counts after = count_gl_objects();
    return during.textures == before.textures + 1 && during.framebuffers == before.framebuffers + 1 &&
           after == before;
}

// The heap block a string's characters live in, if they are not kept inside
// the string itself.
size_t string_block(const std::string &s)
{
    const auto *self = reinterpret_cast<const char *>(&s);
    const char *chars = s.data();
    const bool inside = chars >= self && chars < self + sizeof(s);
    return inside ? 0 : malloc_usable_size(const_cast<char *>(chars)) + sizeof(size_t);
}

// What the host holds to give its tests every line the plugin logged: it
// grows with every line by design, so it is no part of the plugin's use.
size_t host_log_bytes(const simhost::host &h)
{
    size_t bytes = 0;
    for (const std::vector<std::string> *lines : {&h.debug_strings(), &h.host_messages()}) {
        if (lines->capacity() > 0)
            bytes += malloc_usable_size(const_cast<std::string *>(lines->data())) + sizeof(size_t);
        for (const std::string &s : *lines)
            bytes += string_block(s);
    }
    return bytes;
}

struct sample {
    gl_counts gl;
    double resident_mib = 0;
    double heap_kib = 0;
    double seconds = 0;
    int windows_made = 0; // by the host, for the plugin, since the start
};

// Both figures leave out the host's log, which a simulator keeps on disk.
double resident_bytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Heap in use: small blocks and the large ones glibc maps on their own (a
// leaked overlay surface is one of those).
double heap_bytes()
{
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

class soak {
public:
    soak(simhost::host &h, const options &o, FILE *out) : h_(h), o_(o), out_(out), start_(clock_type::now())
    {
    }

    // Prints the figures as they are now. With the plugin disabled a frame
    // of the host's own runs first, so every such row finds the renderer in
    // the same state: nothing of the plugin's still bound or queued.
    sample row(const char *phase, long step)
    {
        if (!h_.plugin_enabled())
            frames(1);
        sample s;
        s.gl = count_gl_objects();
        const double log = static_cast<double>(host_log_bytes(h_));
        s.resident_mib = (resident_bytes() - log) / (1024.0 * 1024.0);
        s.heap_kib = (heap_bytes() - log) / 1024.0;
        s.seconds = std::chrono::duration<double>(clock_type::now() - start_).count();
        s.windows_made = windows_made_;
        fprintf(out_, "%-10s %7ld %9ld %13ld %13.1f %11s %9.1f\n", phase, step, s.gl.textures,
                s.gl.framebuffers, s.resident_mib,
                sanitized ? "-" : std::to_string(lround(s.heap_kib)).c_str(), s.seconds);
        fflush(out_);
        return s;
    }

    // One enable with the three windows open long enough to be captured
    // and drawn, then a disable.
    bool cycle(int n, const sample &baseline)
    {
        if (!h_.enable())
            return fail("enable", n);
        const bool startup = (n - 1) % o_.startup_every == 0;
        if (startup) {
            frames(startup_frames);
            if (!has_menu())
                menu_missing_++;
        }
        for (const char *c : display_commands)
            if (!h_.command(c, simhost::host::press::once))
                return fail(c, n);
        int draws = 0;
        for (int i = 0; i < frames_open; i++) {
            frames(1);
            draws = std::max(draws, h_.last_plugin_timing().window_draws);
        }
        // Each shown display has a capture texture and framebuffer, and an
        // overlay texture once its window has drawn.
        const gl_counts open = note_open();
        if (draws < 3 || open.framebuffers < baseline.gl.framebuffers + 3 ||
            open.textures < baseline.gl.textures + 6)
            not_shown_++;
        if (!h_.disable())
            return fail("disable", n);
        if (startup && has_menu())
            menu_left_++;
        return true;
    }

    // The three commands in turn in one enabled session, a frame after
    // every toggles_per_frame of them.
    bool toggles()
    {
        if (!h_.enable())
            return fail("enable", 0);
        frames(startup_frames);
        if (!has_menu())
            menu_missing_++;
        for (int t = 1; t <= o_.toggles; t++) {
            const char *c = display_commands[static_cast<size_t>(t - 1) % display_commands.size()];
            if (!h_.command(c, simhost::host::press::once))
                return fail(c, t);
            if (t % o_.toggles_per_frame == 0)
                frames(1);
            if (t % toggle_row_every == 0 && t < o_.toggles) {
                note_open();
                row("toggles", t);
            }
        }
        frames(frames_open);
        note_open();
        if (!h_.disable())
            return fail("disable", 0);
        return true;
    }

    const gl_counts &peak_open() const { return peak_open_; }
    int not_shown() const { return not_shown_; }
    int menu_missing() const { return menu_missing_; }
    int menu_left() const { return menu_left_; }

private:
    void frames(int n) { h_.run_frames(n); }

    // The GL objects and windows while the plugin shows what it shows now.
    gl_counts note_open()
    {
        const gl_counts open = count_gl_objects();
        peak_open_.textures = std::max(peak_open_.textures, open.textures);
        peak_open_.framebuffers = std::max(peak_open_.framebuffers, open.framebuffers);
        for (const simhost::host::window_info &w : h_.windows())
            windows_made_ = std::max(windows_made_, w.number);
        return open;
    }

    bool has_menu() const
    {
        const std::vector<std::string> lines = h_.menu_lines();
        return std::any_of(lines.begin(), lines.end(),
                           [](const std::string &l) { return l.find("KYV Popups") != std::string::npos; });
    }

    bool fail(const char *what, long step) const
    {
        fprintf(out_, "soak: %s failed at step %ld: %s\n", what, step, h_.error().c_str());
        return false;
    }

    simhost::host &h_;
    const options &o_;
    FILE *out_;
    clock_type::time_point start_;
    gl_counts peak_open_;
    int windows_made_ = 0;
    int not_shown_ = 0;
    int menu_missing_ = 0;
    int menu_left_ = 0;
};

// Leak reports name the plugin's functions only while its code is mapped
// and its file is there: the host unloads it, and the copy goes at the end
// of main, both before the leak check would run at exit.
void keep_plugin_mapped(const simhost::host &h)
{
    if (sanitized)
        dlopen(h.plugin_path().c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

} // namespace

// Defined by the leak checker's runtime, where there is one.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

namespace {

void check_leaks_now()
{
    if (__lsan_do_leak_check != nullptr)
        __lsan_do_leak_check();
}

struct verdict {
    bool gl_back = false;
    bool all_shown = false;
    // Memory is judged only where it means something: not in a sanitizer
    // build, and only after a whole warm-up.
    bool memory_judged = false;
    double resident_growth_mib = 0, resident_allowed_mib = 0;
    double heap_growth_kib = 0, heap_allowed_kib = 0;
    bool resident_ok() const { return resident_growth_mib <= resident_allowed_mib; }
    bool heap_ok() const { return heap_growth_kib <= heap_allowed_kib; }
    bool pass() const { return gl_back && all_shown && (!memory_judged || (resident_ok() && heap_ok())); }
};

verdict judge(const options &o, const sample &base, const sample &warm, const sample &end, const soak &s)
{
    verdict v;
    v.memory_judged = !sanitized && o.cycles >= warmup_cycles;
    v.gl_back = end.gl == base.gl;
    v.all_shown = s.not_shown() == 0 && s.menu_missing() == 0 && s.menu_left() == 0;
    const double records_kib = (end.windows_made - warm.windows_made) * host_window_record_bytes / 1024.0;
    v.resident_growth_mib = end.resident_mib - warm.resident_mib;
    v.resident_allowed_mib = resident_margin_mib + records_kib / 1024.0;
    v.heap_growth_kib = end.heap_kib - warm.heap_kib;
    v.heap_allowed_kib = heap_margin_kib + records_kib;
    return v;
}

void print_summary(FILE *out, const sample &base, const sample &warm, const sample &end, const soak &s,
                   const verdict &v)
{
    const gl_counts &open = s.peak_open();
    fprintf(out, "\n%-14s %10s %10s %10s\n", "", "before", "warmed up", "after");
    fprintf(out, "%-14s %10ld %10ld %10ld   (at most %ld while open)\n", "textures", base.gl.textures,
            warm.gl.textures, end.gl.textures, open.textures);
    fprintf(out, "%-14s %10ld %10ld %10ld   (at most %ld while open)\n", "framebuffers", base.gl.framebuffers,
            warm.gl.framebuffers, end.gl.framebuffers, open.framebuffers);
    if (sanitized) {
        fprintf(out, "%-14s %10.1f %10.1f %10.1f\n", "resident MiB", base.resident_mib, warm.resident_mib,
                end.resident_mib);
    } else {
        fprintf(out, "%-14s %10.1f %10.1f %10.1f   (%+.1f after the warm-up, allowed %+.1f)\n",
                "resident MiB", base.resident_mib, warm.resident_mib, end.resident_mib, v.resident_growth_mib,
                v.resident_allowed_mib);
        fprintf(out, "%-14s %10.0f %10.0f %10.0f   (%+.0f after the warm-up, allowed %+.0f)\n", "heap KiB",
                base.heap_kib, warm.heap_kib, end.heap_kib, v.heap_growth_kib, v.heap_allowed_kib);
    }
    fprintf(out, "%-14s %10d %10d %10d\n", "windows made", base.windows_made, warm.windows_made,
            end.windows_made);
    fprintf(out, "%-14s %10.1f %10.1f %10.1f\n", "seconds", base.seconds, warm.seconds, end.seconds);

    fprintf(out, "\nGL textures and framebuffers back to the baseline after the last disable: %s\n",
            v.gl_back ? "yes" : "NO");
    fprintf(out, "every cycle captured and drew the three windows, built and removed its menu: %s\n",
            v.all_shown ? "yes" : "NO");
    if (!v.all_shown)
        fprintf(out, "  %d cycles without all three shown, %d without the menu, %d with the menu left\n",
                s.not_shown(), s.menu_missing(), s.menu_left());
    if (sanitized) {
        fprintf(out, "resident memory and heap: not judged in a sanitizer build\n");
    } else if (!v.memory_judged) {
        fprintf(out, "resident memory and heap: not judged, the warm-up alone takes %d cycles\n",
                warmup_cycles);
    } else {
        fprintf(out, "resident memory within the allowance after the warm-up: %s\n",
                v.resident_ok() ? "yes" : "NO");
        fprintf(out, "heap in use within the allowance after the warm-up: %s\n", v.heap_ok() ? "yes" : "NO");
    }
    fprintf(out, "verdict: %s\n", v.pass() ? "PASS" : "FAIL");
}

} // namespace

int main(int argc, char **argv)
{
    options o;
    if (!parse(argc, argv, o))
        return 2;
    if (!o.default_malloc)
        mallopt(M_MMAP_THRESHOLD, large_block_bytes);
    muted_stdout muted;
    FILE *out = muted.report();

    plugin_copy copy(o.plugin_dir);
    simhost::host h;
    h.set_monitors({{0, o.monitor_h, o.monitor_w, 0}});
    h.set_backgrounds(false);
    if (!h.init_gl()) {
        fprintf(out, "soak: no GL context: %s\n", h.error().c_str());
        return 1;
    }
    glewInit(); // answers "no GLX display" on surfaceless EGL, with the entry points loaded
    if (!census_sees_objects()) {
        fprintf(out, "soak: counting GL names does not see a texture and framebuffer made for the purpose\n");
        return 1;
    }
    if (!h.load_plugin_folder(copy.dir()) || !h.start()) {
        fprintf(out, "soak: the plugin did not load and start: %s\n", h.error().c_str());
        return 1;
    }
    keep_plugin_mapped(h);
    h.set_plugin_timing(true, false);

    fprintf(out, "renderer: %s\n", h.gl_renderer().c_str());
    fprintf(
        out,
        "%d enable/disable cycles with the three windows open (%d frames each; the %d-frame start-up in "
        "the first and then every %d cycles), then %d toggles in one session (a frame every %d); one %d x %d "
        "monitor; glibc's mmap threshold %s\n",
        o.cycles, frames_open, startup_frames, o.startup_every, o.toggles, o.toggles_per_frame, o.monitor_w,
        o.monitor_h, o.default_malloc ? "dynamic (its default)" : "fixed at 1 MiB");
    fprintf(out, "resident memory and heap in use leave out the host's record of the plugin's log\n");
    if (sanitized)
        fprintf(out,
                "sanitizer build: resident memory and heap are inflated by the allocator's quarantine and "
                "not judged; the GL counts are\n");
    fprintf(out, "\n%-10s %7s %9s %13s %13s %11s %9s\n", "phase", "step", "textures", "framebuffers",
            "resident MiB", "heap KiB", "seconds");

    soak s(h, o, out);
    const sample base = s.row("baseline", 0);
    sample warm = base;
    for (int n = 1; n <= o.cycles; n++) {
        if (!s.cycle(n, base))
            return 1;
        if (n == std::min(warmup_cycles, o.cycles))
            warm = s.row("warmed-up", n);
        else if (n % cycle_row_every == 0 && n < o.cycles)
            s.row("cycles", n);
    }
    s.row("cycles", o.cycles);
    if (!s.toggles())
        return 1;
    const sample end = s.row("toggles", o.toggles);

    const verdict v = judge(o, base, warm, end, s);
    print_summary(out, base, warm, end, s, v);
    h.stop();
    h.unload();
    fflush(out);
    check_leaks_now();
    return v.pass() ? 0 : 1;
}
