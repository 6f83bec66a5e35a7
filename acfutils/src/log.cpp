/*
 * The logger: formats "<prefix>[<file>:<line>]: <message>\n" and hands the
 * finished line to the output function (one call per line), or to stderr
 * before log_init / after log_fini.
 */

#include <acfutils/assert.h>
#include <acfutils/log.h>

#include <mutex>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

/*
 * Everything below is guarded by log_mtx. A recursive mutex, so that an
 * output function that itself logs (or asserts) does not deadlock. The
 * mutex and the plain pointers have trivial destructors, so logging keeps
 * working during static destruction.
 */
std::recursive_mutex log_mtx;
logfunc_t log_func = nullptr;
char *log_prefix = nullptr;

/*
 * Releases the prefix when the module is unloaded (a plugin may be loaded
 * and unloaded many times in one process). Lines logged after it still work,
 * without a prefix.
 */
struct prefix_reaper {
    ~prefix_reaper()
    {
        std::lock_guard<std::recursive_mutex> lock(log_mtx);
        free(log_prefix);
        log_prefix = nullptr;
    }
};

void emit_locked(const char *line)
{
    if (log_func != nullptr) {
        log_func(line);
    } else {
        fputs(line, stderr);
        fflush(stderr);
    }
}

} // namespace

extern "C" {

void log_init(logfunc_t func, const char *prefix)
{
    static prefix_reaper reaper;
    std::lock_guard<std::recursive_mutex> lock(log_mtx);
    char *p = nullptr;
    if (prefix != nullptr)
        p = strdup(prefix);
    free(log_prefix);
    log_prefix = p;
    log_func = func;
}

void log_fini(void)
{
    std::lock_guard<std::recursive_mutex> lock(log_mtx);
    log_func = nullptr;
    free(log_prefix);
    log_prefix = nullptr;
}

void log_impl_v(const char *filename, int line, const char *fmt, va_list ap)
{
    if (filename == nullptr)
        filename = "?";
    if (fmt == nullptr)
        fmt = "";

    std::lock_guard<std::recursive_mutex> lock(log_mtx);
    const char *prefix = (log_prefix != nullptr ? log_prefix : "");

    int hdr_len = snprintf(nullptr, 0, "%s[%s:%d]: ", prefix, filename, line);
    va_list ap1;
    va_copy(ap1, ap);
    int msg_len = vsnprintf(nullptr, 0, fmt, ap1);
    va_end(ap1);

    static const char fmt_error[] = "(log message could not be formatted)";
    bool bad_fmt = (msg_len < 0);
    if (hdr_len < 0)
        hdr_len = 0;
    if (bad_fmt)
        msg_len = (int)(sizeof(fmt_error) - 1);

    char stack_buf[1024];
    char *buf = stack_buf;
    size_t need = (size_t)hdr_len + (size_t)msg_len + 2; /* '\n' and NUL */
    size_t cap = sizeof(stack_buf);
    if (need > cap) {
        char *heap = (char *)malloc(need);
        if (heap != nullptr) {
            buf = heap;
            cap = need;
        }
        /* else: out of memory, the line is truncated to the stack buffer */
    }

    /* body_cap keeps room for the '\n'; body_cap - pos is always >= 1. */
    size_t body_cap = cap - 1;
    int n = snprintf(buf, body_cap, "%s[%s:%d]: ", prefix, filename, line);
    size_t pos = (n < 0 ? 0 : ((size_t)n >= body_cap ? body_cap - 1 : (size_t)n));
    buf[pos] = '\0';
    int m;
    if (bad_fmt) {
        m = snprintf(buf + pos, body_cap - pos, "%s", fmt_error);
    } else {
        va_list ap2;
        va_copy(ap2, ap);
        m = vsnprintf(buf + pos, body_cap - pos, fmt, ap2);
        va_end(ap2);
    }
    if (m < 0)
        buf[pos] = '\0';
    else
        pos += ((size_t)m >= body_cap - pos ? body_cap - pos - 1 : (size_t)m);
    buf[pos] = '\n';
    buf[pos + 1] = '\0';

    emit_locked(buf);

    if (buf != stack_buf)
        free(buf);
}

void log_impl(const char *filename, int line, const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    log_impl_v(filename, line, fmt, ap);
    va_end(ap);
}

const char *log_basename(const char *path)
{
    if (path == nullptr)
        return "";
    const char *base = path;
    for (const char *p = path; *p != '\0'; p++) {
        /* Both separators: __FILE__ may come from a Windows build. */
        if (*p == '/' || *p == '\\')
            base = p + 1;
    }
    return base;
}

void lacf_assert_abort(void)
{
    fflush(stdout);
    fflush(stderr);
    abort();
}

} // extern "C"
