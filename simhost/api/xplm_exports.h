#pragma once

// The XPLM functions the host defines, by name: what a host executable must
// export for a plugin to load.

#include <cstddef>

namespace simhost {

struct xplm_function {
    const char *name;
    void (*address)();
};

const xplm_function *xplm_functions(size_t &count);

} // namespace simhost
