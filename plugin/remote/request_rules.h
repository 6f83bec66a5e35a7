#pragma once

// What the server decides from a request or a client's message alone, kept
// apart from the sockets so it can be tested and fuzzed on its own.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "remote/frame_hub.h"

namespace remote {

enum class route_kind { index, viewer, picture, socket, not_found };

struct route {
    route_kind kind = route_kind::not_found;
    display_id display = display_id::pfd;
};

// "/", "/pfd", "/mfd.jpg", "/ws"...; the display of a socket comes from its query.
route parse_route(const char *path);

// The value of `name` in a query string, URL-decoded; empty when absent.
std::string query_value(const char *query, const char *name);
// "pfd", "mfd" or "pfd2" to a display; false for anything else.
bool parse_display(const std::string &name, display_id &d);

// Whether a request may in: always without a token, else only with it.
bool token_ok(const char *query, const std::string &token);

// A Host header naming this computer: 127.x.x.x, localhost or [::1], with
// or without a port. Absent (HTTP/1.0) counts as this computer.
bool loopback_host(const char *host);

// A WebSocket upgrade comes from the server's own pages: no Origin (not a
// browser) or one naming the Host it was sent to.
bool origin_ok(const char *origin, const char *host);

// A client's key message: "down NAME" or "up NAME", NAME from the bezel table.
struct key_message {
    bool valid = false;
    bool down = false;
    int key = -1;
};
key_message parse_key_message(const char *data, std::size_t length);

// At most `per_second` presses in any second.
class press_limiter {
public:
    explicit press_limiter(int per_second) : per_second_(per_second) {}
    bool allow(std::uint64_t now_us);

private:
    int per_second_;
    std::deque<std::uint64_t> recent_;
};

} // namespace remote
