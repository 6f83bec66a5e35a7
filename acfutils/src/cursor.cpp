#include "acfutils/cursor.h"

#include <cairo.h>

#include <cstring>
#include <new>
#include <string>

#include "../os/os.h"
#include "acfutils/log.h"

struct cursor {
    cairo_surface_t *surf = nullptr; /* premultiplied ARGB32 */
    os_cursor_t *native = nullptr;   /* the platform's cursor, where it has one */
    std::string name;
    int hot_x = 0;
    int hot_y = 0;
};

namespace {

/* Touched from the main thread only. */
cursor_t *current_cursor = nullptr;

/* "dir/b_close.png" -> "b_close" */
std::string file_stem(const char *path)
{
    const char *base = path;
    for (const char *p = path; *p != '\0'; p++) {
        if (*p == '/' || *p == '\\')
            base = p + 1;
    }
    const char *dot = strrchr(base, '.');
    return dot != nullptr && dot != base ? std::string(base, dot) : std::string(base);
}

/* Opaque PNGs load as RGB24, deep ones as float formats on newer cairo; the OS layer takes ARGB32. */
cairo_surface_t *to_argb32(cairo_surface_t *src)
{
    if (cairo_image_surface_get_format(src) == CAIRO_FORMAT_ARGB32)
        return src;
    cairo_surface_t *dst = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(src),
                                                      cairo_image_surface_get_height(src));
    cairo_t *cr = cairo_create(dst);
    cairo_set_source_surface(cr, src, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(src);
    return dst;
}

} // namespace

cursor_t *cursor_read_from_file(const char *filename_png)
{
    if (filename_png == nullptr)
        return nullptr;
    cairo_surface_t *surf = cairo_image_surface_create_from_png(filename_png);
    if (cairo_surface_status(surf) == CAIRO_STATUS_SUCCESS)
        surf = to_argb32(surf);
    cairo_status_t st = cairo_surface_status(surf);
    if (st != CAIRO_STATUS_SUCCESS) {
        logMsg("cannot read cursor %s: %s", filename_png, cairo_status_to_string(st));
        cairo_surface_destroy(surf);
        return nullptr;
    }
    cairo_surface_flush(surf);

    cursor_t *cur = nullptr;
    try {
        cur = new cursor_t;
        cur->name = file_stem(filename_png);
    } catch (const std::bad_alloc &) {
        logMsg("cannot read cursor %s: out of memory", filename_png);
        delete cur;
        cairo_surface_destroy(surf);
        return nullptr;
    }
    cur->surf = surf;
    cur->hot_x = cairo_image_surface_get_width(surf) / 2;
    cur->hot_y = cairo_image_surface_get_height(surf) / 2;
    cur->native = os_cursor_create(cairo_image_surface_get_data(surf), cairo_image_surface_get_width(surf),
                                   cairo_image_surface_get_height(surf), cairo_image_surface_get_stride(surf),
                                   cur->hot_x, cur->hot_y);
    return cur;
}

void cursor_make_current(cursor_t *cur)
{
    current_cursor = cur;
    if (cur == nullptr) {
        os_cursor_show(nullptr, nullptr, nullptr, 0, 0, 0, 0, 0);
        return;
    }
    os_cursor_show(cur->native, cur->name.c_str(), cairo_image_surface_get_data(cur->surf),
                   cairo_image_surface_get_width(cur->surf), cairo_image_surface_get_height(cur->surf),
                   cairo_image_surface_get_stride(cur->surf), cur->hot_x, cur->hot_y);
}

void cursor_free(cursor_t *cur)
{
    if (cur == nullptr)
        return;
    if (cur == current_cursor) {
        os_cursor_show(nullptr, nullptr, nullptr, 0, 0, 0, 0, 0);
        current_cursor = nullptr;
    }
    os_cursor_destroy(cur->native);
    cairo_surface_destroy(cur->surf);
    delete cur;
}
