#pragma once

// The pictures on the synthetic glass displays, drawn with cairo in display
// pixels (1024 x 768, y down): what never moves once, the rest each frame.

#include <cairo.h>

namespace simhost::detail {

enum class face_kind { pfd, mfd };

// Background, frame, name label and the magenta orientation marker in the
// top-left corner, which nothing else on a face may use.
void draw_face_static(cairo_t *cr, face_kind kind, const char *name);
// The moving instruments and a clock line showing the frame and the time.
void draw_face_live(cairo_t *cr, face_kind kind, double sim_time, long frame);

} // namespace simhost::detail
