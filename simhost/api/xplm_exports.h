#pragma once

// The XPLM functions the host defines, by name: what a host executable must
// export for a plugin to load.

#include <cstddef>

namespace simhost {

struct xplm_function {
    const char *name;
    void (*address)();
    // The interface version that brought it, where a version the host plays
    // lacks it (410: X-Plane 12.1); 0 for the rest.
    int since = 0;
};

const xplm_function *xplm_functions(size_t &count);

} // namespace simhost
