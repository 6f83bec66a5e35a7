#ifndef ACFUTILS_MT_CAIRO_RENDER_H
#define ACFUTILS_MT_CAIRO_RENDER_H

/*
 * A threaded cairo renderer: a worker thread renders into a cairo image
 * surface, on request or at a fixed frame rate; mt_cairo_render_draw, on the
 * GL thread, uploads the newest finished picture into a texture and draws it.
 */

#include <stdbool.h>

#include <cairo.h>

#include "geom.h"
#include "log.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct mt_cairo_render mt_cairo_render_t;

typedef bool (*mt_cairo_init_cb_t)(cairo_t *cr, void *userinfo);
typedef void (*mt_cairo_render_cb_t)(cairo_t *cr, unsigned width, unsigned height, void *userinfo);
typedef void (*mt_cairo_fini_cb_t)(cairo_t *cr, void *userinfo);

/*
 * Starts a renderer with a width x height surface. fps > 0 renders at that
 * rate; fps == 0 renders only when asked. Returns NULL when the size is 0 or
 * the init callback fails. `filename` and `line` name the caller in log lines.
 */
mt_cairo_render_t *mt_cairo_render_init_impl(const char *filename, int line, unsigned width, unsigned height,
                                             double fps, mt_cairo_init_cb_t init_cb,
                                             mt_cairo_render_cb_t render_cb, mt_cairo_fini_cb_t fini_cb,
                                             void *userinfo);
#define mt_cairo_render_init(w, h, fps, init_cb, render_cb, fini_cb, userinfo)                               \
    mt_cairo_render_init_impl(log_basename(__FILE__), __LINE__, (w), (h), (fps), (init_cb), (render_cb),     \
                              (fini_cb), (userinfo))

/* Stops and joins the worker, then releases everything, GL texture included. */
void mt_cairo_render_fini(mt_cairo_render_t *mtcr);

/* Asks for one rendering; the _wait form returns when it is finished. */
void mt_cairo_render_once(mt_cairo_render_t *mtcr);
void mt_cairo_render_once_wait(mt_cairo_render_t *mtcr);

/*
 * Draws the newest finished picture as a textured quad with its bottom-left
 * corner at pos and the given size, in the current drawing coordinates.
 * Nothing is drawn before the first rendering has finished.
 */
void mt_cairo_render_draw(mt_cairo_render_t *mtcr, vect2_t pos, vect2_t size);

#ifdef __cplusplus
}
#endif

#endif
