#pragma once

// How an XPLM function reaches the current host: its work runs on the host's
// state, on the host's thread only, and nothing escapes into the plugin.

#include "core/host_state.h"

#include <exception>
#include <string>

namespace simhost::detail {

template <typename F> void with_host(const char *call, F &&work) noexcept
{
    host_state *h = current(call);
    if (h == nullptr)
        return;
    try {
        work(*h);
    } catch (const std::exception &e) {
        try {
            h->log.message(std::string(call) + " failed: " + e.what());
        } catch (...) {
        }
    }
}

template <typename R, typename F> R with_host(const char *call, R neutral, F &&work) noexcept
{
    R result = neutral;
    with_host(call, [&](host_state &h) { result = work(h); });
    return result;
}

// For the calls the host does not implement yet: noted, nothing else.
inline void unexpected_call(const char *call) noexcept
{
    with_host(call, [call](host_state &h) { h.log.unexpected(call); });
}

} // namespace simhost::detail
