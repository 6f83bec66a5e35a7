// What the remote displays cost the simulator's thread. The plugin's
// modules run in this process with the simulator host, as in the module
// tests; each frame, with the panel drawn and bound as in the lit panel
// pass, the capture pass runs and is timed: once without the picture feed
// (as before it existed), once with the feed and nobody watching, once with
// two viewers of each of the three displays. Its windows stay closed, so the
// pass copies nothing for them and what remains is the feed's own work.

#include "bench_timing.h"
#include "host.h"

#include <acfutils/glew.h>
#include <acfutils/log.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <cstring>
#include <string>
#include <vector>

#include "lifecycle/perf_clock.h"
#include "pictures/popup_capture.h"
#include "remote/picture_feed.h"
#include "windows/popupSystem.h"

namespace {

using bench::clock_type;

struct options {
    double seconds = 5;
    double rate = 60;
    int fps = 20;
    int quality = 80;
};

bool parse(int argc, char **argv, options &o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const char *v = argv[i + 1];
        if (strcmp(argv[i], "--seconds") == 0)
            o.seconds = atof(v);
        else if (strcmp(argv[i], "--rate") == 0)
            o.rate = atof(v);
        else if (strcmp(argv[i], "--fps") == 0)
            o.fps = atoi(v);
        else if (strcmp(argv[i], "--quality") == 0)
            o.quality = atoi(v);
        else
            return false;
    }
    return argc % 2 == 1 && o.seconds > 0 && o.rate > 0;
}

double us_since(clock_type::time_point t0)
{
    return std::chrono::duration<double, std::micro>(clock_type::now() - t0).count();
}

struct result {
    const char *name;
    double fps = 0;
    std::vector<double> cpu, with_gl; // microseconds a frame
    remote::jpeg_encoder::stats enc;
    double seconds = 0;
    std::vector<double> latency_ms; // from the read's start to the frame in the hub
};

// One waiter per display, as a server's viewer thread waits, noting how old
// each frame is when it arrives.
class latency_watch {
public:
    latency_watch(remote::frame_hub &hub, std::vector<double> &out) : hub_(hub), out_(out)
    {
        for (int d = 0; d < remote::display_count; d++)
            threads_.emplace_back([this, d] { watch(static_cast<remote::display_id>(d)); });
    }
    ~latency_watch()
    {
        hub_.close();
        for (std::thread &t : threads_)
            t.join();
    }

private:
    void watch(remote::display_id d)
    {
        std::uint64_t seq = 0;
        while (!hub_.closed()) {
            const remote::frame_ptr f = hub_.wait_newer(d, seq, std::chrono::milliseconds(100));
            if (f == nullptr)
                continue;
            const double ms = static_cast<double>(perf_now_us() - f->captured_us) / 1000.0;
            seq = f->seq;
            std::lock_guard<std::mutex> lock(mutex_);
            out_.push_back(ms);
        }
    }
    remote::frame_hub &hub_;
    std::vector<double> &out_;
    std::mutex mutex_;
    std::vector<std::thread> threads_;
};

enum class setup { no_feed, no_viewer, two_viewers };

result run(simhost::host &h, const options &o, setup s)
{
    static const char *names[] = {"no feed (before)", "feed, no viewer", "feed, 2 viewers x 3"};
    result r;
    r.name = names[static_cast<int>(s)];
    remote::frame_hub hub;
    if (s != setup::no_feed)
        remote::picture_feed_start(hub, o.fps, o.quality);
    if (s == setup::two_viewers)
        for (int d = 0; d < remote::display_count; d++)
            for (int v = 0; v < 2; v++)
                hub.add_viewer(static_cast<remote::display_id>(d));
    std::unique_ptr<latency_watch> watch;
    if (s == setup::two_viewers)
        watch = std::make_unique<latency_watch>(hub, r.latency_ms);
    long frames = 0;
    r.seconds = bench::paced_frames(h, o.rate, o.seconds, [&] {
        h.run_frames(1);
        h.set_int_dataref("sim/graphics/view/panel_render_type", 2);
        glBindFramebuffer(GL_FRAMEBUFFER, h.panel_framebuffer());
        glFinish();
        const auto t0 = clock_type::now();
        popup_capture_cb(xplm_Phase_Gauges, 0, nullptr);
        r.cpu.push_back(us_since(t0));
        glFinish();
        r.with_gl.push_back(us_since(t0));
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        frames++;
    });
    r.fps = static_cast<double>(frames) / r.seconds;
    r.enc = remote::picture_feed_statistics();
    watch.reset();
    remote::picture_feed_stop();
    return r;
}

void print(const result &r)
{
    const double per_frame_ms =
        r.enc.encoded > 0 ? static_cast<double>(r.enc.encode_us) / 1000.0 / static_cast<double>(r.enc.encoded)
                          : 0;
    printf("%-22s %6.1f %8.1f %8.1f %8.1f %8.1f %9.2f", r.name, r.fps, bench::percentile(r.cpu, 0.5),
           bench::percentile(r.cpu, 0.95), bench::mean(r.cpu), bench::mean(r.with_gl), per_frame_ms);
    for (std::uint64_t b : r.enc.bytes)
        printf(" %9.0f", static_cast<double>(b) / 1024.0 / r.seconds);
    printf(" %7.1f %7.1f %7.1f\n", static_cast<double>(r.enc.encoded) / r.seconds / remote::display_count,
           bench::percentile(r.latency_ms, 0.5), bench::percentile(r.latency_ms, 0.95));
}

void quiet(const char *) {}

} // namespace

int main(int argc, char **argv)
{
    options o;
    if (!parse(argc, argv, o)) {
        fprintf(stderr,
                "usage: remote_bench [--seconds S] [--rate HOST_FPS] [--fps FEED_FPS] [--quality Q]\n");
        return 2;
    }
    log_init(quiet, "KYV");
    simhost::host h;
    h.set_backgrounds(false);
    if (!h.init_gl()) {
        fprintf(stderr, "remote_bench: %s\n", h.error().c_str());
        return 1;
    }
    lacf_glew_context_init(lacf_glew_get_context());
    h.run_frames(1);
    popup_system_init(std::string(KYV_PLUGIN_DIR) + "/");
    popup_capture_start();

    printf("host at %g fps, feed at %d fps, quality %d, %g s each; microseconds a frame unless named\n",
           o.rate, o.fps, o.quality, o.seconds);
    printf("%-22s %6s %8s %8s %8s %8s %9s %9s %9s %9s %7s %7s %7s\n", "", "fps", "median", "p95", "mean",
           "mean+GL", "enc ms/f", "PFD KB/s", "MFD KB/s", "PFD2 KB/s", "jpg/s", "lat p50", "lat p95");
    std::vector<result> all;
    for (setup s : {setup::no_feed, setup::no_viewer, setup::two_viewers}) {
        all.push_back(run(h, o, s));
        print(all.back());
    }
    popup_system_fini();

    // A feed nobody watches reads nothing; watched displays get pictures.
    const bool idle_ok = all[1].enc.encoded == 0;
    const bool fed = all[2].enc.encoded > 0;
    if (!idle_ok || !fed)
        fprintf(stderr, "remote_bench: %s\n",
                !idle_ok ? "pictures encoded with nobody watching" : "no pictures");
    return idle_ok && fed ? 0 : 1;
}
