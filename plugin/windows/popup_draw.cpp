// Drawing a display's window: the content area, then the overlay over it.

#include "pictures/device_capture.h"
#include "pictures/picture_watch.h"
#include "windows/popupSystem.h"
#include "windows/popup_content.h"
#include "windows/popup_window.h"
#include "pictures/scr_cap.h"

namespace {

// A placement in fractions of the content area, y measured from its top
// edge, as a quad in window coordinates.
struct quad {
    vect2_t pos;
    vect2_t size;
};

// The content rectangle as a corner and a size, in window coordinates.
struct content_area {
    double left, bottom, w, h;

    quad place(double px, double py, double pw, double ph) const
    {
        return {VECT2(left + w * px, bottom + (1.0 - py - ph) * h), VECT2(w * pw, h * ph)};
    }
};

} // namespace

void popup_window_draw(XPLMWindowID win, void *ref)
{
    popup *pup = static_cast<popup *>(ref);
    // First, so the geometry read below is the corrected one.
    win_resize_ctl_update(&pup->resize_ctl, win);
    popup_watch_picture(pup);
    int left = 0, top = 0, right = 0, bottom = 0;
    XPLMGetWindowGeometry(win, &left, &top, &right, &bottom);
    const content_rect c = popup_content_rect(pup, left, top, right, bottom);
    const double c_left = c.left, c_bottom = c.bottom;
    const content_area area{c_left, c_bottom, c.right - c_left, c.top - c_bottom};

    if (device_capture_active(pup)) {
        const capture_region &r = pup->device.picture;
        const quad q = area.place(r.place_x, r.place_y, r.place_w, r.place_h);
        device_capture_draw(pup, VECT2(area.left, area.bottom), VECT2(area.w, area.h), q.pos, q.size);
    } else if (pup->use_capture) {
        for (capture_region *r = pup->regions; r != nullptr && !region_is_end(*r); r++) {
            const quad q = area.place(r->place_x, r->place_y, r->place_w, r->place_h);
            scr_cap_draw(r, q.pos, q.size, r);
        }
    } else if (pup->cairo_src != nullptr) {
        const cairo_source &src = *pup->cairo_src;
        const quad q = area.place(src.place_x, src.place_y, src.place_w, src.place_h);
        // The renderer's owner may have replaced it since the last frame.
        if (src.mtcr != nullptr)
            mt_cairo_render_draw(*src.mtcr, q.pos, q.size);
    }
    // Over the content, stretched to the whole content area.
    if (pup->mtcr != nullptr)
        mt_cairo_render_draw(pup->mtcr, VECT2(area.left, area.bottom), VECT2(area.w, area.h));
}

void popup_bezel_render(cairo_t *cr, unsigned, unsigned, void *ref)
{
    const popup *pup = static_cast<const popup *>(ref);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_source_surface(cr, pup->bezel, 0, 0);
    cairo_paint(cr);
}
