#pragma once

// What the simulator does around each call into the plugin: it hands over
// disposable state that is not clean (a current colour that is not white,
// texture coordinates left over), and afterwards finds the unmanaged state
// (framebuffers, viewport, blend function, matrix mode, program, buffers,
// pixel-store alignments, scissor) as it was, and no GL error pending. A
// difference is noted as a misuse and put right, so the next call starts
// from what the simulator set.

#include "gl/gl_api.h"

#include <array>
#include <cstddef>

namespace simhost::detail {

struct host_state;

// The current colour every call starts with: a translucent tint, so a quad
// drawn with it comes out visibly wrong.
constexpr std::array<float, 4> disposable_colour{0.25f, 0.8f, 0.5f, 0.6f};

class unmanaged_state {
public:
    void read();
    void restore() const;
    // The first item that differs, with both values, into `out`; false when none does.
    bool describe_difference(const unmanaged_state &now, char *out, size_t size) const;

private:
    static constexpr size_t value_count = 25;
    std::array<GLint, value_count> values_{};
};

class plugin_call {
public:
    // `what` names the callback in a note: a literal that outlives the call.
    explicit plugin_call(const char *what) noexcept;
    ~plugin_call();
    plugin_call(const plugin_call &) = delete;
    plugin_call &operator=(const plugin_call &) = delete;

private:
    host_state *h_ = nullptr;
    const char *what_;
    unmanaged_state found_;
};

} // namespace simhost::detail
