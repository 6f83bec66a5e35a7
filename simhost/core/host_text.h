#pragma once

// The simulator's text for the XPLM functions, which compile against no GL
// and no renderer: the host's bitmap font, measured and drawn.

#include <string>

namespace simhost::detail {

struct host_state;

// A character's cell in either font the host offers, in boxels.
int font_char_width();
int font_char_height();
// The width of `n` characters (the font is monospaced).
int string_width(int n);
// Draws with the cache the plugin's XPLMSetGraphicsState goes through; with
// no GL context, nothing.
void draw_string(host_state &h, const float rgb[3], int x, int y, const std::string &text, int wrap_width);

} // namespace simhost::detail
