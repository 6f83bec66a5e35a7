#pragma once

// What the simulator does around each call into the plugin: it hands over
// disposable state that is not clean (a current colour that is not white,
// texture coordinates left over), and afterwards finds the unmanaged state as
// it was and no GL error pending. A difference is noted as a misuse and put
// right, so the next call starts from what the simulator set.

#include "world/plugin_gate.h"

#include <array>
#include <memory>

namespace simhost::detail {

struct host_state;

// The current colour every call starts with: a translucent tint, so a quad
// drawn with it comes out visibly wrong.
constexpr std::array<float, 4> disposable_colour{0.25f, 0.8f, 0.5f, 0.6f};

// The host's gate: checks only while GL is up and on the host's own thread.
std::unique_ptr<plugin_gate> make_checked_gate(host_state &h);

} // namespace simhost::detail
