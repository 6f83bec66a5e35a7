#pragma once

// The pictures on the synthetic glass displays, drawn with cairo: what never
// moves once, the rest each frame. A face is designed at 1024 x 768 and
// stretched to its size on the panel, whatever its shape; the context's
// coordinates are the face's own pixels, y down.

#include <cairo.h>

namespace simhost::detail {

enum class face_kind { pfd, mfd };

// Background, frame and name label.
void draw_face_static(cairo_t *cr, face_kind kind, const char *name, int width, int height);
// The moving instruments, a clock line showing the frame and the time, and
// last the magenta orientation marker, 24 x 24 pixels in the top-left corner
// whatever the face's size, a colour nothing else on a face may use.
void draw_face_live(cairo_t *cr, face_kind kind, double sim_time, long frame, int width, int height);

} // namespace simhost::detail
