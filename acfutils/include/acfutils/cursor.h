#ifndef ACFUTILS_CURSOR_H
#define ACFUTILS_CURSOR_H

/*
 * Mouse cursors loaded from PNG images (the hot spot is the image's centre).
 * Making one current hands it to the platform's cursor API; where there is
 * none it is only remembered as the current cursor.
 */

#ifdef __cplusplus
extern "C" {
#endif

typedef struct cursor cursor_t;

/* NULL when the image cannot be read. */
cursor_t *cursor_read_from_file(const char *filename_png);
void cursor_make_current(cursor_t *cur);
/* Frees the cursor; if it was current, no cursor is current afterwards. */
void cursor_free(cursor_t *cur);

#ifdef __cplusplus
}
#endif

#endif
