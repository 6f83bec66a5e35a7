#pragma once

// The host's own small font for the simulator's text (XPLMDrawString, window
// titles): printable ASCII in 5 x 9 glyphs, monospaced, with no font files
// and no font backend. A character's cell is 6 x 10 units (one unit a boxel
// where windows draw), its baseline 2 units above the cell's bottom for the
// descenders; anything outside printable ASCII draws as a box.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace simhost::detail::bitmap_font {

constexpr int glyph_rows = 9;
constexpr int glyph_columns = 5;
constexpr int cell_width = 6;
constexpr int cell_height = 10;

// Rows from the top; bit 4 of a row is its leftmost column.
using glyph = std::array<std::uint8_t, glyph_rows>;
const glyph &glyph_of(char c);

// The width of `n` characters.
inline int width(size_t n)
{
    return static_cast<int>(n) * cell_width;
}

// The lines a text is drawn in: broken at spaces so that each fits
// `wrap_width` where it can (a longer word stands alone); 0: one line.
std::vector<std::string> wrap(const std::string &text, int wrap_width);

} // namespace simhost::detail::bitmap_font
