#include "remote/request_rules.h"

#include <cctype>
#include <cstring>

#include <civetweb.h>

#include "remote/bezel_keys.h"

namespace remote {

bool parse_display(const std::string &name, display_id &d)
{
    for (display_id c : {display_id::pfd, display_id::mfd, display_id::pfd2}) {
        if (name == display_name(c)) {
            d = c;
            return true;
        }
    }
    return false;
}

route parse_route(const char *path)
{
    route r;
    // "OPTIONS *" and absolute forms have no leading slash and name nothing here.
    if (path == nullptr || path[0] != '/')
        return r;
    const std::string p = path;
    if (p == "/") {
        r.kind = route_kind::index;
    } else if (p == "/ws") {
        r.kind = route_kind::socket;
    } else if (p.size() > 4 && p.compare(p.size() - 4, 4, ".jpg") == 0) {
        if (parse_display(p.substr(1, p.size() - 5), r.display))
            r.kind = route_kind::picture;
    } else if (p.size() > 1 && parse_display(p.substr(1), r.display)) {
        r.kind = route_kind::viewer;
    }
    return r;
}

std::string query_value(const char *query, const char *name)
{
    if (query == nullptr)
        return {};
    char value[256];
    if (mg_get_var(query, std::strlen(query), name, value, sizeof(value)) < 0)
        return {};
    return value;
}

bool token_ok(const char *query, const std::string &token)
{
    if (token.empty())
        return true;
    const std::string given = query_value(query, "token");
    // Every byte compared whatever the first difference, so timing tells nothing.
    unsigned diff = given.size() != token.size();
    for (std::size_t i = 0; i < token.size(); ++i)
        diff |= static_cast<unsigned char>(i < given.size() ? given[i] : 0) ^
                static_cast<unsigned char>(token[i]);
    return diff == 0;
}

bool loopback_host(const char *host)
{
    if (host == nullptr)
        return true;
    std::string name = host;
    if (name.rfind("[::1]", 0) == 0)
        return name.size() == 5 || name[5] == ':';
    name = name.substr(0, name.find(':'));
    for (char &c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "localhost")
        return true;
    if (name.rfind("127.", 0) != 0)
        return false;
    return name.find_first_not_of("0123456789.") == std::string::npos;
}

bool origin_ok(const char *origin, const char *host)
{
    if (origin == nullptr)
        return true;
    if (host == nullptr)
        return false;
    const std::string own = std::string("http://") + host;
    if (own.size() != std::strlen(origin))
        return false;
    for (std::size_t i = 0; i < own.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(own[i])) !=
            std::tolower(static_cast<unsigned char>(origin[i])))
            return false;
    }
    return true;
}

key_message parse_key_message(const char *data, std::size_t length)
{
    key_message m;
    const char *space = static_cast<const char *>(std::memchr(data, ' ', length));
    if (space == nullptr)
        return m;
    const std::size_t verb = static_cast<std::size_t>(space - data);
    if (verb == 4 && std::memcmp(data, "down", 4) == 0)
        m.down = true;
    else if (!(verb == 2 && std::memcmp(data, "up", 2) == 0))
        return m;
    m.key = find_bezel_key(space + 1, length - verb - 1);
    m.valid = m.key >= 0;
    return m;
}

bool press_limiter::allow(std::uint64_t now_us)
{
    while (!recent_.empty() && now_us - recent_.front() >= 1000000)
        recent_.pop_front();
    if (static_cast<int>(recent_.size()) >= per_second_)
        return false;
    recent_.push_back(now_us);
    return true;
}

} // namespace remote
