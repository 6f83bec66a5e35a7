#pragma once

// Strings handed out through a caller's buffer of a documented size.

#include <algorithm>
#include <cstring>
#include <string>

namespace simhost::detail {

// NUL-terminated and cut to fit; a null buffer is left alone.
inline void copy_out(char *out, const std::string &s, size_t size)
{
    if (out == nullptr || size == 0)
        return;
    const size_t n = std::min(s.size(), size - 1);
    memcpy(out, s.data(), n);
    out[n] = '\0';
}

} // namespace simhost::detail
