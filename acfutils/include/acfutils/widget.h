#ifndef ACFUTILS_WIDGET_H
#define ACFUTILS_WIDGET_H

/* Window helpers: aspect-keeping resize control and following the VR headset. */

#include "XPLMDisplay.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    XPLMWindowID win;
    double aspect;                /* height / width */
    int left, top, right, bottom; /* last geometry seen */
} win_resize_ctl_t;

/* Prepares the control for a window whose content is w x h. */
void win_resize_ctl_init(win_resize_ctl_t *wrc, XPLMWindowID win, int w, int h);

/*
 * When the window's size was changed from outside since the last update, its
 * height is brought back to the content's aspect ratio (top edge kept).
 */
void win_resize_ctl_update(win_resize_ctl_t *wrc, XPLMWindowID win);

/* Moves the window into the headset while "sim/graphics/VR/enabled" reads 1. */
void window_follow_VR(XPLMWindowID win);

#ifdef __cplusplus
}
#endif

#endif
