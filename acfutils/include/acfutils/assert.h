#ifndef ACFUTILS_ASSERT_H
#define ACFUTILS_ASSERT_H

/*
 * Always-on assertions: a failed one logs what failed and where, then aborts
 * the process. Used only for broken invariants, never for bad input.
 */

#include <inttypes.h>
#include <stdint.h>
#include <stdlib.h>

#include "log.h"

#ifdef __cplusplus
extern "C" {
#endif

void lacf_assert_abort(void) LACF_NORETURN;

#ifdef __cplusplus
}
#endif

#define ASSERT(x)                                                                                            \
    do {                                                                                                     \
        if (!(x)) {                                                                                          \
            log_impl(log_basename(__FILE__), __LINE__, "assertion \"%s\" failed: %s", #x, "");               \
            lacf_assert_abort();                                                                             \
        }                                                                                                    \
    } while (0)

/* Three-operand form for 64-bit unsigned values: both sides are printed. */
#define ASSERT3U(x, op, y)                                                                                   \
    do {                                                                                                     \
        uint64_t lacf_tmp_x_ = (uint64_t)(x), lacf_tmp_y_ = (uint64_t)(y);                                   \
        if (!(lacf_tmp_x_ op lacf_tmp_y_)) {                                                                 \
            log_impl(log_basename(__FILE__), __LINE__,                                                       \
                     "assertion %s %s %s failed (0x%" PRIx64 " %s 0x%" PRIx64 ")", #x, #op, #y, lacf_tmp_x_, \
                     #op, lacf_tmp_y_);                                                                      \
            lacf_assert_abort();                                                                             \
        }                                                                                                    \
    } while (0)

#endif
