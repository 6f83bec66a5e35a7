#include "web_client.h"

#include <chrono>
#include <cstring>
#include <thread>

#include <civetweb.h>

namespace {

struct library {
    library() { mg_init_library(MG_FEATURES_WEBSOCKET); }
    ~library() { mg_exit_library(); }
};

void ensure_library()
{
    static library lib;
}

} // namespace

http_reply http_get(int port, const std::string &path, const std::string &headers)
{
    ensure_library();
    http_reply reply;
    char error[256] = "";
    mg_connection *conn = mg_connect_client("127.0.0.1", port, 0, error, sizeof(error));
    if (conn == nullptr)
        return reply;
    const char *connection = headers.find("Connection:") == std::string::npos ? "Connection: close\r\n" : "";
    mg_printf(conn, "GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n%s%s\r\n", path.c_str(), port, connection,
              headers.c_str());
    if (mg_get_response(conn, error, sizeof(error), 5000) >= 0) {
        reply.status = mg_get_response_info(conn)->status_code;
        char buf[4096];
        int n;
        while ((n = mg_read(conn, buf, sizeof(buf))) > 0)
            reply.body.append(buf, static_cast<size_t>(n));
    }
    mg_close_connection(conn);
    return reply;
}

int refused_upgrade(int port, const std::string &query, const std::string &origin)
{
    return http_get(port, "/ws?" + query,
                    "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                    "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n" +
                        (origin.empty() ? std::string() : "Origin: " + origin + "\r\n"))
        .status;
}

mg_connection *silent_viewer(int port, const std::string &query)
{
    ensure_library();
    char error[256] = "";
    mg_connection *conn = mg_connect_client("127.0.0.1", port, 0, error, sizeof(error));
    if (conn != nullptr)
        mg_printf(conn,
                  "GET /ws?%s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                  "Sec-WebSocket-Version: 13\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n",
                  query.c_str(), port);
    return conn;
}

ws_viewer::ws_viewer(int port, const std::string &query)
{
    ensure_library();
    char error[256] = "";
    const std::string path = "/ws?" + query;
    conn_ = mg_connect_websocket_client("127.0.0.1", port, 0, error, sizeof(error), path.c_str(), nullptr,
                                        &ws_viewer::on_data, &ws_viewer::on_close, this);
}

ws_viewer::~ws_viewer()
{
    if (conn_ != nullptr)
        mg_close_connection(conn_);
}

void ws_viewer::send(const std::string &message, bool binary)
{
    if (conn_ != nullptr)
        mg_websocket_client_write(conn_, binary ? MG_WEBSOCKET_OPCODE_BINARY : MG_WEBSOCKET_OPCODE_TEXT,
                                  message.data(), message.size());
}

std::vector<unsigned char> ws_viewer::last_frame() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
}

int ws_viewer::on_data(mg_connection *conn, int bits, char *data, size_t length, void *self)
{
    auto *v = static_cast<ws_viewer *>(self);
    // As a browser does (RFC 6455): the server drops a viewer that stops answering.
    if ((bits & 0xf) == MG_WEBSOCKET_OPCODE_PING)
        mg_websocket_client_write(conn, MG_WEBSOCKET_OPCODE_PONG, data, length);
    if ((bits & 0xf) == MG_WEBSOCKET_OPCODE_BINARY) {
        std::lock_guard<std::mutex> lock(v->mutex_);
        v->last_.assign(data, data + length);
        ++v->frames_;
    }
    return 1;
}

void ws_viewer::on_close(const mg_connection *, void *self)
{
    static_cast<ws_viewer *>(self)->closed_ = true;
}

int free_port()
{
    ensure_library();
    const char *options[] = {"listening_ports", "127.0.0.1:0", "num_threads", "1", nullptr};
    mg_context *ctx = mg_start(nullptr, nullptr, options);
    if (ctx == nullptr)
        return 0;
    mg_server_port ports[1];
    int port = 0;
    if (mg_get_server_ports(ctx, 1, ports) > 0)
        port = ports[0].port;
    // civetweb's listening thread notices the stop only when a wait ends or a
    // connection comes; connections make the stop quick.
    std::atomic<bool> stopped{false};
    std::thread poke([&] {
        while (!stopped) {
            char error[64];
            if (mg_connection *c = mg_connect_client("127.0.0.1", port, 0, error, sizeof(error)))
                mg_close_connection(c);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    mg_stop(ctx);
    stopped = true;
    poke.join();
    return port;
}
