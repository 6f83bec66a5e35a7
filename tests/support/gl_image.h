#pragma once

// Whole rectangles of a framebuffer read back, and what a textured quad
// should show: the expected picture of a texture drawn into a quad with
// linear filtering, for comparing a drawn window with its source. Needs a
// current GL context.

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

struct image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // rows bottom-up, as GL reads them

    const uint8_t *at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

image read_image(unsigned fbo, int x, int y, int width, int height);

// Where a texture lands in a picture: the quad's bottom-left corner and size
// in picture pixels (fractions allowed).
struct quad_place {
    double x, y, w, h;
};

// The share of the picture's pixels inside the quad that differ from the
// texture `src`, sampled as GL's linear filter with repeat wrapping would,
// by more than `tolerance` in any channel. Pixels whose centres lie outside
// the quad are not counted.
double mismatch(const image &picture, const image &src, const quad_place &q, int tolerance = 6);

// The names of the textures and framebuffers that exist now, among the
// first `limit` names: to see what a plugin made and released.
std::set<unsigned> live_textures(unsigned limit = 4096);
std::set<unsigned> live_framebuffers(unsigned limit = 4096);
