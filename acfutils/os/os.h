#ifndef ACFUTILS_OS_H
#define ACFUTILS_OS_H

/*
 * The thin operating-system layer: a thread-local slot, the
 * high-resolution performance counter and the mouse cursor. os_posix.cpp and
 * os_win32.cpp implement it; os_file.h holds the file functions.
 */

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    unsigned long key;
    int created;
    /* Called with a thread's non-null value when that thread ends; may be NULL. */
    void (*destructor)(void *);
} os_tls_key_t;

/* The slot is created on first use; set reports failure instead of aborting. */
void *os_tls_get(os_tls_key_t *slot);
bool os_tls_set(os_tls_key_t *slot, void *value);
/*
 * Releases the slot before the code of its destructor goes away: the calling
 * thread's value goes to the destructor now and no destructor runs after
 * this. Other threads' values are left to their owners on POSIX; Windows
 * hands them to the destructor too. A later use creates the slot again.
 */
void os_tls_delete(os_tls_key_t *slot);

/*
 * Names the calling thread, as the system's tools show it (15 characters at
 * most on Linux). Ours all start "lacf_" or "kyv_", so they can be told from
 * the threads the GL driver and the C runtime start.
 */
void os_thread_set_name(const char *name);

/* A monotonic tick count and its ticks per second (10 MHz here, the performance counter's own on Windows). */
uint64_t os_perf_counter(void);
uint64_t os_perf_frequency(void);

/*
 * The platform's cursor for an image (premultiplied ARGB32 rows, `stride`
 * bytes apart) with its hot spot, made once when the image loads. NULL where
 * the platform has no cursor API or the cursor cannot be made.
 */
typedef struct os_cursor os_cursor_t;
os_cursor_t *os_cursor_create(const unsigned char *pixels, int width, int height, int stride, int hot_x, int hot_y);
void os_cursor_destroy(os_cursor_t *cursor);

/*
 * Makes a cursor current: `native` from os_cursor_create with the image it
 * was made from, or all NULL for the platform's default cursor.
 */
void os_cursor_show(const os_cursor_t *native, const char *name, const unsigned char *pixels, int width,
                    int height, int stride, int hot_x, int hot_y);

#ifdef __cplusplus
}
#endif

#endif
