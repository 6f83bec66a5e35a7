#pragma once

// The remote viewer's JPEG pictures decoded for comparison with what GL
// reads back.

#include <cstddef>

#include "gl_image.h"

// RGBA, rows bottom-up as GL reads them; an empty image when it is no JPEG.
image decode_jpeg(const unsigned char *data, size_t size);

// The mean difference per colour channel (alpha left out); a large value
// when the sizes differ.
double mean_error(const image &a, const image &b);
