#pragma once

// What the host plays of the operating system for the utility layer: the
// cursor it would show. The utility layer finds this by name in the process.

extern "C" void os_cursor_hook(const char *name, const unsigned char *pixels, int width, int height,
                               int stride, int hot_x, int hot_y);
