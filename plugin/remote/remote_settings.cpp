#include "remote/remote_settings.h"

#include <random>

#include <acfutils/conf.h>
#include <acfutils/helpers.h>
#include <acfutils/log.h>

namespace remote {

namespace {

constexpr const char *file_name = "remote.cfg";

struct int_key {
    const char *name;
    int settings::*field;
    int low;
    int high;
};

const int_key int_keys[] = {
    {"port", &settings::port, 1, 65535},
    {"fps", &settings::fps, 1, 30},
    {"quality", &settings::quality, 30, 95},
    {"max_viewers", &settings::max_viewers, 1, 64},
};

std::string file_in(const char *folder)
{
    char *joined = mkpathname(folder, file_name, nullptr);
    std::string path = joined;
    lacf_free(joined);
    return path;
}

conf_t *read_or_create(const std::string &path)
{
    conf_t *conf = conf_read_file(path.c_str(), nullptr);
    if (conf != nullptr)
        return conf;
    conf = conf_create_empty();
    conf_add_comment(conf,
                     "kyv_pop: the displays in a browser on another computer or a tablet (see the README).");
    conf_add_comment(conf,
                     "address 127.0.0.1 lets only this computer in; any other address needs the token,");
    conf_add_comment(conf,
                     "which is made at the first start with such an address (?token=... in every URL).");
    conf_add_comment(conf, "Lines starting with # are comments and are kept.");
    return conf;
}

// 128 random bits: the token is all that keeps a LAN's other users out.
std::string make_token()
{
    std::random_device rd;
    static const char hex[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 8; ++i) {
        const unsigned v = rd();
        for (int b = 0; b < 4; ++b)
            token += hex[(v >> (b * 4)) & 0xf];
    }
    return token;
}

} // namespace

bool is_loopback(const std::string &address)
{
    return address == "::1" || address == "localhost" || address.rfind("127.", 0) == 0;
}

settings load_settings(const char *folder)
{
    settings s;
    if (folder == nullptr || folder[0] == '\0')
        return s;
    const std::string path = file_in(folder);
    conf_t *conf = read_or_create(path);

    int enabled = 0;
    if (!conf_get_i(conf, "enabled", &enabled))
        conf_set_i(conf, "enabled", 0);
    s.enabled = enabled != 0;

    const char *text = nullptr;
    if (conf_get_str(conf, "address", &text) && text[0] != '\0')
        s.address = text;
    else
        conf_set_str(conf, "address", s.address.c_str());

    for (const int_key &k : int_keys) {
        int v = 0;
        if (!conf_get_i(conf, k.name, &v)) {
            conf_set_i(conf, k.name, s.*k.field);
            continue;
        }
        const int clamped = v < k.low ? k.low : v > k.high ? k.high : v;
        if (clamped != v) {
            logMsg("%s: %s = %d is outside %d-%d; using %d", file_name, k.name, v, k.low, k.high, clamped);
            conf_set_i(conf, k.name, clamped);
        }
        s.*k.field = clamped;
    }

    if (conf_get_str(conf, "token", &text))
        s.token = text;
    if (s.token.empty() && !is_loopback(s.address)) {
        s.token = make_token();
        logMsg("%s: made a token for the address %s", file_name, s.address.c_str());
    }
    // An empty value would not read back, so the key waits for its token.
    if (!s.token.empty())
        conf_set_str(conf, "token", s.token.c_str());

    if (!conf_write_file(conf, path.c_str()))
        logMsg("Cannot write %s", path.c_str());
    conf_free(conf);
    return s;
}

void save_enabled(const char *folder, bool enabled)
{
    if (folder == nullptr || folder[0] == '\0')
        return;
    const std::string path = file_in(folder);
    conf_t *conf = read_or_create(path);
    conf_set_i(conf, "enabled", enabled ? 1 : 0);
    if (!conf_write_file(conf, path.c_str()))
        logMsg("Cannot write %s", path.c_str());
    conf_free(conf);
}

} // namespace remote
