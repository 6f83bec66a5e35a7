#pragma once

// remote.cfg: the remote viewer's settings, in the same key = value store as
// popups.cfg, read at every enable. Values out of range are clamped (and the
// clamped value written back) so a typo cannot leave the server half set up.

#include <string>

namespace remote {

// A port no simulator service uses: its web API takes 8086 and its network
// data ports 49000-49010.
constexpr int default_port = 8642;

struct settings {
    bool enabled = false;
    std::string address = "127.0.0.1";
    int port = default_port;
    int fps = 20;
    int quality = 80;
    int max_viewers = 8;
    std::string token;
};

// Whether an address only this computer can reach; anything else needs the token.
bool is_loopback(const std::string &address);

// Reads (or creates) remote.cfg in `folder`, clamps what is out of range with a
// log line each, makes the token at the first start with a non-loopback
// address, and writes the file back with its comments. Without a folder the
// defaults are used and nothing is written.
settings load_settings(const char *folder);

// Writes `enabled`, keeping everything else in the file as it is.
void save_enabled(const char *folder, bool enabled);

} // namespace remote
