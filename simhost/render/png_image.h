#pragma once

// Screenshots: framebuffer pixels read back and written as PNG files.

#include <string>
#include <vector>

namespace simhost::detail {

// Reads a rectangle of a framebuffer's colour attachment 0 as RGBA rows, top row first.
bool read_rgba(unsigned framebuffer, int x, int y, int w, int h, std::vector<unsigned char> &rgba);
// Writes w x h RGBA rows (top row first) as a PNG with cairo; false with a reason on failure
// (e.g. a folder that does not exist or cannot be written).
bool write_png(const std::string &path, const unsigned char *rgba, int w, int h, std::string &error);
// Both of the above: a framebuffer rectangle to a PNG file.
bool save_framebuffer_png(const std::string &path, unsigned framebuffer, int x, int y, int w, int h,
                          std::string &error);

} // namespace simhost::detail
