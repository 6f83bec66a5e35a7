/* Memory and path helpers. */

#include <acfutils/helpers.h>

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

extern "C" {

void *lacf_malloc(size_t size)
{
    /* malloc(0) may return NULL; callers expect a valid pointer. */
    return malloc(size == 0 ? 1 : size);
}

void lacf_free(void *ptr)
{
    free(ptr);
}

static bool ends_in_sep(const char *s, size_t len)
{
    if (len == 0)
        return false;
    char c = s[len - 1];
    return c == '/' || c == DIRSEP;
}

char *__libacfutils_mkpathname(const char *piece, ...)
{
    va_list ap;
    size_t len = 0;

    /* Pass 1: the length, counting one separator per join at most. */
    va_start(ap, piece);
    for (const char *p = piece, *next; p != nullptr; p = next) {
        size_t pl = strlen(p);
        len += pl;
        next = va_arg(ap, const char *);
        if (next != nullptr && !ends_in_sep(p, pl))
            len++;
    }
    va_end(ap);

    char *out = (char *)lacf_malloc(len + 1);
    if (out == nullptr)
        return nullptr;

    /* Pass 2: the joining. */
    size_t pos = 0;
    va_start(ap, piece);
    for (const char *p = piece, *next; p != nullptr; p = next) {
        size_t pl = strlen(p);
        memcpy(out + pos, p, pl);
        pos += pl;
        next = va_arg(ap, const char *);
        if (next != nullptr && !ends_in_sep(p, pl))
            out[pos++] = DIRSEP;
    }
    va_end(ap);
    out[pos] = '\0';
    return out;
}

} // extern "C"
