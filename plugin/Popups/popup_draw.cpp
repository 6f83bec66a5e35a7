// Drawing a display's window: the content area, then the overlay over it.

#include "popupSystem.h"
#include "popup_window.h"

void popup_window_draw(XPLMWindowID win, void *ref)
{
    popup *pup = static_cast<popup *>(ref);
    // First, so the geometry read below is the corrected one.
    win_resize_ctl_update(&pup->resize_ctl, win);
    int left = 0, top = 0, right = 0, bottom = 0;
    XPLMGetWindowGeometry(win, &left, &top, &right, &bottom);

    const int content_w = right - left;
    const int content_h = pup->keys->fill_window->get() != 0
                              ? top - bottom
                              : static_cast<int>(pup->height / pup->width * content_w);
    if (pup->mtcr != nullptr)
        mt_cairo_render_draw(pup->mtcr, VECT2(left, bottom), VECT2(content_w, content_h));
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
