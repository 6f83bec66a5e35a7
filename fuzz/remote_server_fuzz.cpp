// What a client can send the remote displays' server: the input's first byte
// picks a raw HTTP request on a socket, a WebSocket message from a connected
// viewer, or the request rules alone; the server runs once per process on
// loopback with a token required. The simulator's command functions are
// played here, so every press that reaches them is checked.
//
// What must hold:
// - a request's path that is not one of the server's routes is never routed;
// - a key message is valid only when its name is in the bezel table;
// - only table keys reach the simulator, each begin ended at most once, never
//   an end without its begin;
// - whatever came before, the server still answers its own page (checked
//   every 64 inputs) and a request without the token gets 403.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include <civetweb.h>

#include "fuzz_support.h"
#include "quiet_log.h"
#include "remote/bezel_keys.h"
#include "remote/request_rules.h"
#include "remote/web_server.h"

namespace {

// Fake command handles: one per bezel command, and whether it is held.
std::map<std::string, int> command_ids;
std::map<XPLMCommandRef, bool> held;

XPLMCommandRef handle(int id)
{
    return reinterpret_cast<XPLMCommandRef>(static_cast<std::uintptr_t>(id + 1) * 16);
}

} // namespace

extern "C" XPLMCommandRef XPLMFindCommand(const char *name)
{
    auto it = command_ids.find(name);
    if (it == command_ids.end()) {
        const int id = static_cast<int>(command_ids.size());
        it = command_ids.emplace(name, id).first;
    }
    return handle(it->second);
}

extern "C" void XPLMCommandBegin(XPLMCommandRef ref)
{
    auto it = held.find(ref);
    if (it == held.end())
        fuzz_fail("a press reached a command the table does not have");
    if (it->second)
        fuzz_fail("a command was begun while held");
    it->second = true;
}

extern "C" void XPLMCommandEnd(XPLMCommandRef ref)
{
    auto it = held.find(ref);
    if (it == held.end() || !it->second)
        fuzz_fail("a command was ended without its begin");
    it->second = false;
}

namespace {

const char *const token = "fuzztoken";

struct server_under_test {
    scratch_dir pages{"kyv_remote_fuzz_"};
    remote::frame_hub hub;
    remote::key_runner keys;
    std::unique_ptr<remote::web_server> server;
    int port = 0;

    server_under_test()
    {
        quiet_log();
        write_bytes(pages / "index.html", reinterpret_cast<const uint8_t *>("list"), 4);
        const char viewer[] = "{{CONFIG}}";
        write_bytes(pages / "viewer.html", reinterpret_cast<const uint8_t *>(viewer), sizeof(viewer) - 1);
        keys.look_up();
        for (const auto &entry : command_ids)
            held[handle(entry.second)] = false;
        for (port = 30000 +
                    static_cast<int>(std::chrono::steady_clock::now().time_since_epoch().count() % 20000);
             ; ++port) {
            remote::server_options o;
            o.port = port;
            o.token = token;
            o.pages = pages.path();
            server = std::make_unique<remote::web_server>(hub, keys, o);
            if (server->start() == remote::start_result::ok)
                break;
        }
    }
};

server_under_test &sut()
{
    static server_under_test s;
    return s;
}

int status_of(int port, const std::string &request)
{
    char error[128];
    mg_connection *c = mg_connect_client("127.0.0.1", port, 0, error, sizeof(error));
    if (c == nullptr)
        fuzz_fail("the server stopped accepting connections");
    mg_write(c, request.data(), request.size());
    int status = 0;
    if (mg_get_response(c, error, sizeof(error), 2000) >= 0)
        status = mg_get_response_info(c)->status_code;
    mg_close_connection(c);
    return status;
}

int ignore_data(mg_connection *, int, char *, size_t, void *)
{
    return 1;
}

struct viewer_socket {
    mg_connection *conn = nullptr;
    std::atomic<bool> closed{true};

    static void on_close(const mg_connection *, void *self)
    {
        static_cast<viewer_socket *>(self)->closed = true;
    }

    void ensure(server_under_test &s)
    {
        if (conn != nullptr && !closed)
            return;
        if (conn != nullptr)
            mg_close_connection(conn);
        // The old viewer's releases are queued before the new one can press.
        for (int i = 0; i < 200 && s.server->viewers() > 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        s.keys.run();
        const int port = s.port;
        char error[128];
        const std::string path = std::string("/ws?display=pfd&token=") + token;
        closed = false;
        conn = mg_connect_websocket_client("127.0.0.1", port, 0, error, sizeof(error), path.c_str(), nullptr,
                                           ignore_data, on_close, this);
        if (conn == nullptr)
            fuzz_fail("a viewer could not connect", error);
    }
};

void check_rules(const std::string &input)
{
    // The server hands the rules C strings.
    const std::string text = input.c_str();
    const remote::route r = remote::parse_route(text.c_str());
    const bool known = text == "/" || text == "/ws" || text == "/pfd" || text == "/mfd" || text == "/pfd2" ||
                       text == "/pfd.jpg" || text == "/mfd.jpg" || text == "/pfd2.jpg";
    if ((r.kind != remote::route_kind::not_found) != known)
        fuzz_fail("a path was routed wrongly", text);
    const remote::key_message m = remote::parse_key_message(input.data(), input.size());
    if (m.valid) {
        const std::string name = remote::bezel_keys[m.key].name;
        if (input != (m.down ? "down " : "up ") + name)
            fuzz_fail("a key message was read as another", input);
    }
    remote::token_ok(text.c_str(), token);
    remote::origin_ok(text.c_str(), "127.0.0.1:1");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static viewer_socket viewer;
    static long inputs = 0;
    server_under_test &s = sut();
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    switch (data[0] % 3) {
    case 0:
        check_rules(text);
        break;
    case 1:
        // Ends the headers, so the server answers at once rather than wait for more.
        status_of(s.port, text + "\r\n\r\n");
        break;
    default:
        viewer.ensure(s);
        mg_websocket_client_write(viewer.conn,
                                  (data[0] & 4) ? MG_WEBSOCKET_OPCODE_BINARY : MG_WEBSOCKET_OPCODE_TEXT,
                                  text.data(), text.size());
        // Gives the server's thread the message before the queue is drained.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        s.keys.run();
        break;
    }
    if (++inputs % 64 == 0) {
        const std::string own =
            "GET /?token=" + std::string(token) + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
        const int page = status_of(s.port, own);
        if (page != 200)
            fuzz_fail("the server no longer answers its own page", std::to_string(page));
        const int refused = status_of(s.port, "GET /pfd HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        if (refused != 403)
            fuzz_fail("a request without the token was not refused", std::to_string(refused));
    }
    return 0;
}
