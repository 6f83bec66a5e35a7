#ifndef ACFUTILS_OS_H
#define ACFUTILS_OS_H

/*
 * The thin operating-system layer: a thread-local slot and the
 * high-resolution performance counter. os_posix.cpp implements it here; a
 * Windows implementation sits beside it.
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
 * thread's value goes to the destructor now, other threads' values are left
 * to their owners, and no destructor runs after this. A later use creates
 * the slot again.
 */
void os_tls_delete(os_tls_key_t *slot);

/* A monotonic tick count and its ticks per second (10 MHz, like Windows'). */
uint64_t os_perf_counter(void);
uint64_t os_perf_frequency(void);

/*
 * Shows a cursor image (premultiplied ARGB32 rows, `stride` bytes apart)
 * with its hot spot; NULL pixels ask for the platform's default cursor.
 */
void os_cursor_show(const char *name, const unsigned char *pixels, int width, int height, int stride,
                    int hot_x, int hot_y);

#ifdef __cplusplus
}
#endif

#endif
