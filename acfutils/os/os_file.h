#ifndef ACFUTILS_OS_FILE_H
#define ACFUTILS_OS_FILE_H

/*
 * Files, as the settings code needs them: reading in chunks and replacing a
 * file's contents all or nothing. Paths are UTF-8. Failures set errno (the
 * Windows side maps its error codes onto it), so callers report them alike.
 */

#include <stdbool.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct os_file os_file_t;

/* NULL with errno set; a folder gives EISDIR. */
os_file_t *os_file_open_read(const char *path);
/* Up to len bytes: the count read, 0 at the end, -1 with errno set. */
long long os_file_read(os_file_t *file, void *buf, size_t len);
void os_file_close(os_file_t *file);

/*
 * Replaces the file's contents with data: a temporary file in the same folder
 * is written, flushed to disk and renamed over path, so path is never half
 * written. An existing file's permissions are kept (Windows refuses to
 * replace a read-only file). On failure returns false with errno set, *step
 * naming what failed ("name", "create", "write", "flush", "close" or
 * "rename") and tmp holding the temporary file's name; the temporary file is
 * gone again.
 */
bool os_file_replace(const char *path, const char *data, size_t len, char *tmp, size_t tmp_size,
                     const char **step);

#ifdef __cplusplus
}
#endif

#endif
