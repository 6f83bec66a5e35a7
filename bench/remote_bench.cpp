// What the remote displays cost the simulator's thread. The plugin's
// modules run in this process with the simulator host, as in the module
// tests; each frame, with the panel drawn and bound as in the lit panel
// pass, the capture pass runs and is timed: once without the picture feed
// (as before it existed), once with the feed and nobody watching, once with
// two viewers of each of the three displays, and once with the server on
// loopback and two WebSocket clients of each display, to time a picture from
// its read to its arrival at a client. Its windows stay closed, so the pass
// copies nothing for them and what remains is the feed's own work.

#include "bench_timing.h"
#include "host.h"

#include <acfutils/glew.h>
#include <acfutils/log.h>
#include <civetweb.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "lifecycle/perf_clock.h"
#include "pictures/popup_capture.h"
#include "remote/picture_feed.h"
#include "remote/web_server.h"
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
    // From the read's start to the frame in the hub, or at a client when
    // clients watch; then also what each client got, on average per display.
    std::vector<double> latency_ms;
    std::vector<double> at_hub_ms; // with clients: the hub's share of it
    int clients = 0;
    std::uint64_t received_bytes[remote::display_count] = {};
    std::uint64_t received = 0;
};

std::size_t content_key(const void *data, std::size_t size)
{
    return std::hash<std::string_view>{}(std::string_view(static_cast<const char *>(data), size));
}

// The panel is the same picture every frame: a frame number drawn into a
// corner of each display's rectangle (the default rectangles) as 16 black
// or white squares makes every picture's bytes its own.
void stamp_frame_number(long n)
{
    static const int corners[remote::display_count][2] = {{0, 2100}, {1024, 0}, {2048, 0}};
    glEnable(GL_SCISSOR_TEST);
    for (const auto &c : corners) {
        for (int bit = 0; bit < 16; bit++) {
            const float v = (n >> bit) & 1 ? 1.0f : 0.0f;
            glScissor(c[0] + 16 * bit, c[1], 16, 16);
            glClearColor(v, v, v, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
}

// One waiter per display, as a server's viewer thread waits, noting how old
// each frame is when it arrives, and when each picture was read.
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

    // When the picture of `d` with these bytes was read: the latest such
    // read at or before `arrival_us`; 0 when none was seen.
    std::uint64_t captured_us(remote::display_id d, std::size_t key, std::uint64_t arrival_us) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::uint64_t best = 0;
        const auto found = captured_.find({static_cast<int>(d), key});
        if (found != captured_.end())
            for (std::uint64_t t : found->second)
                if (t <= arrival_us && t > best)
                    best = t;
        return best;
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
            const std::size_t key = content_key(f->bytes.data(), f->bytes.size());
            std::lock_guard<std::mutex> lock(mutex_);
            out_.push_back(ms);
            captured_[{static_cast<int>(d), key}].push_back(f->captured_us);
        }
    }
    remote::frame_hub &hub_;
    std::vector<double> &out_;
    mutable std::mutex mutex_;
    std::map<std::pair<int, std::size_t>, std::vector<std::uint64_t>> captured_;
    std::vector<std::thread> threads_;
};

// A WebSocket viewer of one display made with civetweb's own client, noting
// each picture's bytes and when it arrived.
class ws_client {
public:
    struct arrival {
        std::size_t key;
        std::size_t size;
        std::uint64_t us;
    };
    ws_client(int port, remote::display_id d) : display(d)
    {
        char error[256] = "";
        const std::string path = std::string("/ws?display=") + remote::display_name(d);
        conn_ = mg_connect_websocket_client("127.0.0.1", port, 0, error, sizeof(error), path.c_str(), nullptr,
                                            on_data, nullptr, this);
        if (conn_ == nullptr)
            fprintf(stderr, "remote_bench: no viewer: %s\n", error);
    }
    ~ws_client() { close(); }
    bool connected() const { return conn_ != nullptr; }
    // Waits for civetweb's client thread; the arrivals are complete after it.
    void close()
    {
        if (conn_ != nullptr)
            mg_close_connection(conn_);
        conn_ = nullptr;
    }
    ws_client(const ws_client &) = delete;
    ws_client &operator=(const ws_client &) = delete;

    const remote::display_id display;
    std::vector<arrival> arrivals; // read after close()

private:
    static int on_data(mg_connection *conn, int bits, char *data, std::size_t length, void *self)
    {
        const std::uint64_t now = perf_now_us();
        auto *c = static_cast<ws_client *>(self);
        if ((bits & 0xf) == MG_WEBSOCKET_OPCODE_PING)
            mg_websocket_client_write(conn, MG_WEBSOCKET_OPCODE_PONG, data, length);
        if ((bits & 0xf) == MG_WEBSOCKET_OPCODE_BINARY)
            c->arrivals.push_back({content_key(data, length), length, now});
        return 1;
    }
    mg_connection *conn_ = nullptr;
};

// A loopback port nobody listens on now.
int free_port()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(a);
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof(a)) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(fd);
    return port;
}

// The server on loopback with `per_display` WebSocket clients of each display.
struct loopback_viewers {
    remote::key_runner keys;
    std::unique_ptr<remote::web_server> server;
    std::vector<std::unique_ptr<ws_client>> clients;

    loopback_viewers(remote::frame_hub &hub, int per_display)
    {
        remote::server_options o;
        o.port = free_port();
        o.pages = std::string(KYV_PLUGIN_DIR) + "/resources/remote";
        server = std::make_unique<remote::web_server>(hub, keys, o);
        if (server->start() != remote::start_result::ok)
            return;
        for (int d = 0; d < remote::display_count; d++)
            for (int v = 0; v < per_display; v++)
                clients.push_back(std::make_unique<ws_client>(o.port, static_cast<remote::display_id>(d)));
    }

    // Closes the clients and puts what they got since `from_us` into `r`:
    // the latency from each picture's read to its arrival, and the bytes.
    void finish(const latency_watch &watch, std::uint64_t from_us, result &r)
    {
        long unmatched = 0;
        for (auto &c : clients) {
            c->close();
            for (const ws_client::arrival &a : c->arrivals) {
                if (a.us < from_us)
                    continue;
                const std::uint64_t read_us = watch.captured_us(c->display, a.key, a.us);
                if (read_us == 0)
                    unmatched++;
                else
                    r.latency_ms.push_back(static_cast<double>(a.us - read_us) / 1000.0);
                r.received_bytes[static_cast<int>(c->display)] += a.size;
                r.received++;
            }
        }
        r.clients = static_cast<int>(clients.size());
        if (unmatched > 0)
            fprintf(stderr, "remote_bench: %ld pictures at the clients not seen in the hub\n", unmatched);
    }
};

enum class setup { no_feed, no_viewer, two_viewers, server_viewers };

result run(simhost::host &h, const options &o, setup s)
{
    static const char *names[] = {"no feed (before)", "feed, no viewer", "feed, 2 viewers x 3",
                                  "server, 2 clients x 3"};
    result r;
    r.name = names[static_cast<int>(s)];
    remote::frame_hub hub;
    if (s != setup::no_feed)
        remote::picture_feed_start(hub, o.fps, o.quality);
    if (s == setup::two_viewers)
        for (int d = 0; d < remote::display_count; d++)
            for (int v = 0; v < 2; v++)
                hub.add_viewer(static_cast<remote::display_id>(d));
    std::vector<double> at_hub_ms;
    std::unique_ptr<latency_watch> watch;
    if (s == setup::two_viewers || s == setup::server_viewers)
        watch = std::make_unique<latency_watch>(hub, at_hub_ms);
    std::unique_ptr<loopback_viewers> viewers;
    if (s == setup::server_viewers)
        viewers = std::make_unique<loopback_viewers>(hub, 2);
    long frames = 0;
    std::uint64_t from_us = 0;
    r.seconds = bench::paced_frames(h, o.rate, o.seconds, [&] {
        if (frames == 0)
            from_us = perf_now_us();
        h.run_frames(1);
        h.set_int_dataref("sim/graphics/view/panel_render_type", 2);
        glBindFramebuffer(GL_FRAMEBUFFER, h.panel_framebuffer());
        stamp_frame_number(frames);
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
    if (viewers)
        viewers->finish(*watch, from_us, r);
    // As at a disable: the feed, then the hub, then the server.
    remote::picture_feed_stop();
    watch.reset();
    viewers.reset();
    if (s == setup::two_viewers)
        r.latency_ms = at_hub_ms;
    else if (s == setup::server_viewers)
        r.at_hub_ms = at_hub_ms;
    return r;
}

void print(const result &r)
{
    const double per_frame_ms =
        r.enc.encoded > 0 ? static_cast<double>(r.enc.encode_us) / 1000.0 / static_cast<double>(r.enc.encoded)
                          : 0;
    printf("%-22s %6.1f %8.1f %8.1f %8.1f %8.1f %9.2f", r.name, r.fps, bench::percentile(r.cpu, 0.5),
           bench::percentile(r.cpu, 0.95), bench::mean(r.cpu), bench::mean(r.with_gl), per_frame_ms);
    // With clients: what one client of each display got.
    const double per = r.clients > 0 ? static_cast<double>(r.clients) / remote::display_count : 1;
    for (int d = 0; d < remote::display_count; d++) {
        const std::uint64_t b = r.clients > 0 ? r.received_bytes[d] : r.enc.bytes[d];
        printf(" %9.0f", static_cast<double>(b) / per / 1024.0 / r.seconds);
    }
    const std::uint64_t pictures = r.clients > 0 ? r.received : r.enc.encoded;
    printf(" %7.1f %7.1f %7.1f\n", static_cast<double>(pictures) / per / r.seconds / remote::display_count,
           bench::percentile(r.latency_ms, 0.5), bench::percentile(r.latency_ms, 0.95));
    if (r.clients > 0)
        printf("%-22s %*s %7.1f %7.1f\n", "  of it, until the hub", 90, "",
               bench::percentile(r.at_hub_ms, 0.5), bench::percentile(r.at_hub_ms, 0.95));
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
    for (setup s : {setup::no_feed, setup::no_viewer, setup::two_viewers, setup::server_viewers}) {
        all.push_back(run(h, o, s));
        print(all.back());
    }
    popup_system_fini();

    // A feed nobody watches reads nothing; watched displays get pictures,
    // and so do the server's clients.
    const bool idle_ok = all[1].enc.encoded == 0;
    const bool fed = all[2].enc.encoded > 0 && all[3].received > 0;
    if (!idle_ok || !fed)
        fprintf(stderr, "remote_bench: %s\n",
                !idle_ok ? "pictures encoded with nobody watching" : "no pictures");
    return idle_ok && fed ? 0 : 1;
}
