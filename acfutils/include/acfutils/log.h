#ifndef ACFUTILS_LOG_H
#define ACFUTILS_LOG_H

/*
 * The logger. Every line is formatted as "<prefix>[<file>:<line>]: <message>\n"
 * and handed, finished, to the output function given to log_init. Before
 * log_init (or after log_fini) lines go to standard error.
 */

#include <stdarg.h>

#include "core.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*logfunc_t)(const char *line);

void log_init(logfunc_t func, const char *prefix);
void log_fini(void);

void log_impl(const char *filename, int line, const char *fmt, ...) LACF_PRINTF_ATTR(3);
void log_impl_v(const char *filename, int line, const char *fmt, va_list ap);

/* The file name without its directories, for log lines. */
const char *log_basename(const char *path);

#define logMsg(...) log_impl(log_basename(__FILE__), __LINE__, __VA_ARGS__)

#ifdef __cplusplus
}
#endif

#endif
