#include "remote/web_server.h"

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include <civetweb.h>

#include <acfutils/log.h>
#include <os/os.h>

#include "lifecycle/perf_clock.h"
#include "remote/request_rules.h"

namespace remote {

namespace {

constexpr int presses_per_second = 20;
constexpr int max_notes = 50;
// Set while mg_start2 runs: its errors are reported on the starting thread
// before a context exists to carry user data.
thread_local web_server *starting = nullptr;

web_server *server_of(const mg_connection *conn)
{
    return static_cast<web_server *>(mg_get_user_data(mg_get_context(conn)));
}

int request_cb(mg_connection *conn, void *)
{
    return server_of(conn)->on_request(conn);
}

int connect_cb(const mg_connection *conn, void *)
{
    return server_of(conn)->on_socket_connect(conn);
}

void ready_cb(mg_connection *conn, void *)
{
    server_of(conn)->on_socket_ready(conn);
}

int data_cb(mg_connection *conn, int bits, char *data, std::size_t length, void *)
{
    return server_of(conn)->on_socket_data(conn, bits, data, length);
}

void close_cb(const mg_connection *conn, void *)
{
    server_of(conn)->on_socket_close(conn);
}

void closed_cb(const mg_connection *conn)
{
    server_of(conn)->on_connection_closed(conn);
}

int log_cb(const mg_connection *conn, const char *message)
{
    web_server *s = starting != nullptr ? starting : conn != nullptr ? server_of(conn) : nullptr;
    if (s != nullptr)
        s->note(message);
    return 1;
}

// The server's threads are the plugin's too, and are counted as such.
void *name_thread(const mg_context *, int)
{
    os_thread_set_name("kyv_web");
    return nullptr;
}

std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The errno inside civetweb's "cannot bind to ...: 98 (...)" line.
int error_number(const std::string &text)
{
    const std::size_t paren = text.rfind(" (");
    if (paren == std::string::npos)
        return 0;
    const std::size_t start = text.rfind(' ', paren - 1);
    return start == std::string::npos ? 0 : std::atoi(text.c_str() + start + 1);
}

// civetweb counts an upgrade's headers as sent already, so mg_send_http_error
// would send the body alone: the whole answer is written here.
int refuse_upgrade(const mg_connection *conn, int status, const char *reason, const char *text)
{
    mg_printf(
        const_cast<mg_connection *>(conn),
        "HTTP/1.1 %d %s\r\nContent-Type: text/plain\r\nContent-Length: %u\r\nConnection: close\r\n\r\n%s",
        status, reason, static_cast<unsigned>(std::strlen(text)), text);
    return 1;
}

// What a client sent, fit for one log line.
std::string printable(const std::string &text, std::size_t most)
{
    std::string out = text.substr(0, most);
    for (char &c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
            c = '?';
    }
    return out;
}

bool is_error(int code, int posix, int winsock)
{
    return code != 0 && (code == posix || code == winsock);
}

} // namespace

struct web_server::viewer {
    display_id display;
    mg_connection *conn = nullptr;
    std::thread sender;
    std::atomic<bool> closing{false};
    press_limiter limiter{presses_per_second};
    bool warned = false;
    std::vector<int> held;
};

web_server::web_server(frame_hub &hub, key_runner &keys, server_options options)
    : hub_(hub), keys_(keys), options_(std::move(options))
{
}

web_server::~web_server()
{
    stop();
}

start_result web_server::start()
{
    index_page_ = read_file(options_.pages + "/index.html");
    viewer_template_ = read_file(options_.pages + "/viewer.html");
    if (index_page_.empty() || viewer_template_.empty())
        logMsg("Remote displays: the pages are missing from %s", options_.pages.c_str());

    const bool v6 = options_.address.find(':') != std::string::npos;
    const std::string listen =
        (v6 ? "[" + options_.address + "]" : options_.address) + ":" + std::to_string(options_.port);
    const std::string threads = std::to_string(options_.max_viewers + 4);
    // Small requests only, and clients that stall are dropped; civetweb's
    // own cap of 64 header lines applies. Its threads notice a stop only
    // when a wait ends, so the waits are short: a socket idle for 250 ms is
    // pinged (browsers answer; civetweb drops a viewer that stops answering),
    // and a read or send stalled for 500 ms fails.
    const char *config[] = {"listening_ports",
                            listen.c_str(),
                            "num_threads",
                            threads.c_str(),
                            "max_request_size",
                            "8192",
                            "request_timeout_ms",
                            "500",
                            "websocket_timeout_ms",
                            "250",
                            "enable_websocket_ping_pong",
                            "yes",
                            "enable_keep_alive",
                            "no",
                            "enable_directory_listing",
                            "no",
                            nullptr};
    mg_callbacks callbacks{};
    callbacks.log_message = log_cb;
    callbacks.init_thread = name_thread;
    callbacks.connection_close = closed_cb;
    mg_init_data init{};
    init.callbacks = &callbacks;
    init.user_data = this;
    init.configuration_options = config;
    char text[256] = "";
    mg_error_data error{};
    error.text = text;
    error.text_buffer_size = sizeof(text);

    mg_init_library(MG_FEATURES_WEBSOCKET);
    start_error_.clear();
    starting = this;
    starting_ = true;
    ctx_ = mg_start2(&init, &error);
    starting_ = false;
    starting = nullptr;
    if (ctx_ == nullptr) {
        mg_exit_library();
        const int code = error_number(start_error_);
        if (is_error(code, EADDRINUSE, 10048)) {
            logMsg("Remote displays: port %d is in use on %s", options_.port, options_.address.c_str());
            return start_result::port_in_use;
        }
        if (is_error(code, EADDRNOTAVAIL, 10049)) {
            logMsg("Remote displays: the address %s is not on this computer", options_.address.c_str());
            return start_result::address_not_here;
        }
        logMsg("Remote displays: cannot listen on %s: %s", listen.c_str(),
               start_error_.empty() ? text : start_error_.c_str());
        return start_result::failed;
    }
    mg_set_request_handler(ctx_, "/", request_cb, nullptr);
    mg_set_websocket_handler(ctx_, "/ws", connect_cb, ready_cb, data_cb, close_cb, nullptr);
    return start_result::ok;
}

void web_server::stop()
{
    if (ctx_ == nullptr)
        return;
    // civetweb's threads look at its stop flag only between waits of up to
    // two seconds: viewers are asked to close, which wakes their threads, and
    // the listening thread is woken by connections until it has seen the flag.
    {
        std::lock_guard<std::mutex> lock(list_mutex_);
        for (viewer *v : list_) {
            v->closing = true;
            mg_websocket_write(v->conn, MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE, "", 0);
        }
    }
    std::atomic<bool> stopped{false};
    std::string host = options_.address;
    if (host == "0.0.0.0")
        host = "127.0.0.1";
    else if (host == "::")
        host = "::1";
    std::thread waker([&] {
        os_thread_set_name("kyv_web_stop");
        while (!stopped.load()) {
            char error[128];
            mg_connection *c = mg_connect_client(host.c_str(), options_.port, 0, error, sizeof(error));
            if (c != nullptr)
                mg_close_connection(c);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    mg_stop(ctx_);
    stopped = true;
    waker.join();
    ctx_ = nullptr;
    mg_exit_library();
}

void web_server::note(const char *message)
{
    // While starting, the first reason is kept for the one line start() logs.
    if (starting_) {
        if (start_error_.empty())
            start_error_ = message;
        return;
    }
    // A client sending garbage on purpose must not fill the simulator's log.
    const int n = ++notes_;
    if (n <= max_notes)
        logMsg("Remote displays: %s", message);
    if (n == max_notes)
        logMsg("Remote displays: further messages of the server are left out of the log");
}

void web_server::send_page(mg_connection *conn, const std::string &body)
{
    mg_send_http_ok(conn, "text/html; charset=utf-8", static_cast<long long>(body.size()));
    mg_write(conn, body.data(), body.size());
}

std::string web_server::viewer_page(display_id d) const
{
    std::string config = "{\"display\":\"" + std::string(display_name(d)) + "\",\"keys\":[";
    bool first = true;
    for (std::size_t k = 0; k < bezel_key_count; ++k) {
        if (!keys_.available(d, static_cast<int>(k)))
            continue;
        const bezel_key &key = bezel_keys[k];
        config += std::string(first ? "" : ",") + "{\"name\":\"" + key.name + "\",\"label\":\"" + key.label +
                  "\",\"group\":\"" + key.group + "\"}";
        first = false;
    }
    config += "]}";
    std::string page = viewer_template_;
    const std::size_t at = page.find("{{CONFIG}}");
    if (at != std::string::npos)
        page.replace(at, 10, config);
    return page;
}

// Without a token only this computer is served, and a page from elsewhere
// that renamed itself to this computer's address still names its own host.
bool web_server::admitted(const mg_connection *conn) const
{
    if (options_.token.empty())
        return loopback_host(mg_get_header(conn, "Host"));
    return token_ok(mg_get_request_info(conn)->query_string, options_.token);
}

int web_server::on_request(mg_connection *conn)
{
    const mg_request_info *info = mg_get_request_info(conn);
    if (!admitted(conn)) {
        mg_send_http_error(conn, 403, "%s", "The token is missing or wrong");
        return 403;
    }
    const route r = parse_route(info->local_uri);
    switch (r.kind) {
    case route_kind::index:
        send_page(conn, index_page_);
        return 200;
    case route_kind::viewer:
        send_page(conn, viewer_page(r.display));
        return 200;
    case route_kind::picture: {
        const frame_ptr before = hub_.latest(r.display);
        hub_.request_once(r.display);
        const frame_ptr f =
            hub_.wait_newer(r.display, before ? before->seq : 0, std::chrono::milliseconds(1000));
        if (!f) {
            mg_send_http_error(conn, 503, "%s", "No picture came");
            return 503;
        }
        mg_send_http_ok(conn, "image/jpeg", static_cast<long long>(f->bytes.size()));
        mg_write(conn, f->bytes.data(), f->bytes.size());
        return 200;
    }
    default:
        mg_send_http_error(conn, 404, "%s", "Not found");
        return 404;
    }
}

int web_server::on_socket_connect(const mg_connection *conn)
{
    const mg_request_info *info = mg_get_request_info(conn);
    display_id d;
    if (!admitted(conn))
        return refuse_upgrade(conn, 403, "Forbidden", "The token is missing or wrong");
    if (!origin_ok(mg_get_header(conn, "Origin"), mg_get_header(conn, "Host"))) {
        note(("refused a viewer from the page of " + printable(mg_get_header(conn, "Origin"), 80)).c_str());
        return refuse_upgrade(conn, 403, "Forbidden", "Foreign origin");
    }
    if (!parse_display(query_value(info->query_string, "display"), d))
        return refuse_upgrade(conn, 404, "Not Found", "No such display");
    int n = viewers_.load();
    do {
        if (n >= options_.max_viewers)
            return refuse_upgrade(conn, 503, "Service Unavailable", "Too many viewers");
    } while (!viewers_.compare_exchange_weak(n, n + 1));
    auto *v = new viewer;
    v->display = d;
    v->conn = const_cast<mg_connection *>(conn);
    mg_set_user_connection_data(conn, v);
    std::lock_guard<std::mutex> lock(list_mutex_);
    list_.push_back(v);
    return 0;
}

void web_server::on_socket_ready(mg_connection *conn)
{
    auto *v = static_cast<viewer *>(mg_get_user_connection_data(conn));
    if (v == nullptr)
        return;
    hub_.add_viewer(v->display);
    v->sender = std::thread([this, v] {
        os_thread_set_name("kyv_ws_send");
        std::uint64_t seq = 0;
        while (!v->closing.load() && !hub_.closed()) {
            const frame_ptr f = hub_.wait_newer(v->display, seq, std::chrono::milliseconds(250));
            if (!f)
                continue;
            seq = f->seq;
            if (mg_websocket_write(v->conn, MG_WEBSOCKET_OPCODE_BINARY,
                                   reinterpret_cast<const char *>(f->bytes.data()), f->bytes.size()) <= 0)
                break;
        }
    });
}

int web_server::on_socket_data(mg_connection *conn, int bits, char *data, std::size_t length)
{
    auto *v = static_cast<viewer *>(mg_get_user_connection_data(conn));
    const int opcode = bits & 0xf;
    if (opcode == MG_WEBSOCKET_OPCODE_CONNECTION_CLOSE)
        return 0;
    if (opcode == MG_WEBSOCKET_OPCODE_PING || opcode == MG_WEBSOCKET_OPCODE_PONG)
        return 1;
    if (v == nullptr || opcode != MG_WEBSOCKET_OPCODE_TEXT)
        return 0; // not what a viewer page sends: drop the client
    const key_message m = parse_key_message(data, length);
    if (!m.valid || !keys_.available(v->display, m.key)) {
        if (!v->warned)
            note(("refused a key a viewer sent: " + printable(std::string(data, length), 40)).c_str());
        v->warned = true;
        return 1;
    }
    auto held = std::find(v->held.begin(), v->held.end(), m.key);
    if (m.down) {
        if (held == v->held.end() && v->limiter.allow(perf_now_us()) && keys_.push(v->display, m.key, true))
            v->held.push_back(m.key);
    } else if (held != v->held.end()) {
        keys_.push(v->display, m.key, false);
        v->held.erase(held);
    }
    return 1;
}

void web_server::on_socket_close(const mg_connection *conn)
{
    auto *v = static_cast<viewer *>(mg_get_user_connection_data(conn));
    if (v == nullptr)
        return;
    v->closing = true;
    if (v->sender.joinable()) {
        v->sender.join();
        hub_.remove_viewer(v->display);
    }
    // A viewer gone mid-press must not leave the command held.
    for (int key : v->held)
        keys_.push(v->display, key, false);
    forget(conn, v);
}

// An upgrade accepted but never completed (the client left during the
// handshake) gets no close handler: its place is given back here.
void web_server::on_connection_closed(const mg_connection *conn)
{
    auto *v = static_cast<viewer *>(mg_get_user_connection_data(conn));
    if (v != nullptr)
        forget(conn, v);
}

void web_server::forget(const mg_connection *conn, viewer *v)
{
    {
        std::lock_guard<std::mutex> lock(list_mutex_);
        list_.erase(std::find(list_.begin(), list_.end(), v));
    }
    mg_set_user_connection_data(conn, nullptr);
    delete v;
    --viewers_;
}

} // namespace remote
