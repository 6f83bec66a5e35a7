#pragma once

// A client of the remote viewer's server made of civetweb's own client
// functions, on loopback.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

struct mg_connection;

struct http_reply {
    int status = 0; // 0 when no answer came
    std::string body;
};

// One GET request; `headers` are extra "Name: value\r\n" lines.
http_reply http_get(int port, const std::string &path, const std::string &headers = "");

// A WebSocket upgrade of /ws answered with anything but 101: its status.
int refused_upgrade(int port, const std::string &query, const std::string &origin);

// A WebSocket upgrade of /ws sent and then never read from: a viewer that
// stalls. Close it with mg_close_connection.
mg_connection *silent_viewer(int port, const std::string &query);

// A WebSocket viewer; counts the binary messages it gets.
class ws_viewer {
public:
    ws_viewer(int port, const std::string &query);
    ~ws_viewer();
    ws_viewer(const ws_viewer &) = delete;
    ws_viewer &operator=(const ws_viewer &) = delete;

    bool connected() const { return conn_ != nullptr; }
    bool closed() const { return closed_.load(); }
    void send(const std::string &message, bool binary = false);
    int frames() const { return frames_.load(); }
    std::vector<unsigned char> last_frame() const;

private:
    static int on_data(mg_connection *conn, int bits, char *data, size_t length, void *self);
    static void on_close(const mg_connection *conn, void *self);

    mg_connection *conn_ = nullptr;
    std::atomic<int> frames_{0};
    std::atomic<bool> closed_{false};
    mutable std::mutex mutex_;
    std::vector<unsigned char> last_;
};

// A free loopback port for one test run (a civetweb server holds it while it looks).
int free_port();
