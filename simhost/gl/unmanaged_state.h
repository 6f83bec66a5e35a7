#pragma once

// The GL state a plugin must leave as it found it, since nothing manages it
// for anyone (framebuffers, viewport, blend function, matrix mode, program,
// buffers, pixel-store alignments, scissor): read before a call into the
// plugin, compared and put back after it.

#include "gl/gl_api.h"

#include <array>
#include <cstddef>

namespace simhost::detail {

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

} // namespace simhost::detail
