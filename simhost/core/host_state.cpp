#include "core/host_state.h"

#include "core/plugin_call.h"
#include "gl/gl_context.h"
#include "render/compositor.h"
#include "render/device_screens.h"

#include <cstdio>

namespace simhost::detail {

namespace {

// The one global: the XPLM functions are plain C and carry no context.
std::atomic<host_state *> current_host{nullptr};

} // namespace

host_state *current(const char *call) noexcept
{
    host_state *h = current_host.load(std::memory_order_acquire);
    if (h == nullptr || std::this_thread::get_id() == h->main_thread)
        return h;
    if (h->off_thread_calls.fetch_add(1) == 0)
        fprintf(stderr, "simhost: %s called off the main thread; ignored (and any such call after it)\n",
                call);
    return nullptr;
}

host_state *current_any_thread() noexcept
{
    return current_host.load(std::memory_order_acquire);
}

// The gate comes first: the world's registries hold on to it.
host_state::host_state() : gate(make_checked_gate(*this)) {}

// Here, where the renderer and the context are complete types.
host_state::~host_state() = default;

bool host_state::vr_enabled() const
{
    return refs.value_of("sim/graphics/VR/enabled") != 0;
}

void set_current(host_state *h) noexcept
{
    current_host.store(h, std::memory_order_release);
}

} // namespace simhost::detail
