#pragma once

// The HTTP and WebSocket server of the remote viewer (civetweb): the pages,
// single pictures, and one socket per viewer that carries the newest frames
// out and the bezel presses in. Each viewer has its own sending thread, so a
// slow one skips frames without holding up the others.

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>
#include <string>

#include "remote/frame_hub.h"
#include "remote/key_runner.h"

struct mg_context;
struct mg_connection;

namespace remote {

struct server_options {
    std::string address = "127.0.0.1";
    int port = 0;
    int max_viewers = 8;
    // Required on every request when not empty.
    std::string token;
    // The folder holding index.html and viewer.html.
    std::string pages;
};

enum class start_result { ok, port_in_use, address_not_here, failed };

class web_server {
public:
    web_server(frame_hub &hub, key_runner &keys, server_options options);
    ~web_server();
    web_server(const web_server &) = delete;
    web_server &operator=(const web_server &) = delete;

    // Listens and serves; logs why not otherwise.
    start_result start();
    // Drops every client and joins every thread the server started. Close the
    // hub first, so nothing waits for a frame.
    void stop();

    int viewers() const { return viewers_.load(); }

    // civetweb's callbacks, public only for its C side.
    int on_request(mg_connection *conn);
    int on_socket_connect(const mg_connection *conn);
    void on_socket_ready(mg_connection *conn);
    int on_socket_data(mg_connection *conn, int bits, char *data, std::size_t length);
    void on_socket_close(const mg_connection *conn);
    void on_connection_closed(const mg_connection *conn);
    void note(const char *message);

private:
    struct viewer;
    void forget(const mg_connection *conn, viewer *v);
    bool admitted(const mg_connection *conn) const;
    void send_page(mg_connection *conn, const std::string &body);
    std::string viewer_page(display_id d) const;

    frame_hub &hub_;
    key_runner &keys_;
    server_options options_;
    std::string index_page_;
    std::string viewer_template_;
    mg_context *ctx_ = nullptr;
    std::atomic<int> viewers_{0};
    std::mutex list_mutex_;
    std::vector<viewer *> list_;
    std::atomic<bool> starting_{false};
    std::atomic<int> notes_{0};
    std::string start_error_;
};

} // namespace remote
