#include "api/os_hooks.h"

#include "api/with_host.h"

using simhost::detail::host_state;
using simhost::detail::with_host;

extern "C" void os_cursor_hook(const char *name, const unsigned char *pixels, int, int, int, int, int)
{
    with_host("os_cursor_hook", [=](host_state &h) {
        // No pixels ask for the platform's own cursor.
        h.pointer.set_os_cursor(pixels == nullptr || name == nullptr ? "" : name);
    });
}
