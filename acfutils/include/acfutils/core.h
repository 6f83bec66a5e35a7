#ifndef ACFUTILS_CORE_H
#define ACFUTILS_CORE_H

/* Compiler helpers shared by the utility layer's headers. */

#if defined(__MINGW32__)
/* mingw's "printf" means msvcrt's, which lacks %zu; the build uses C99 stdio. */
#define LACF_PRINTF_ATTR(fmt_idx) __attribute__((format(gnu_printf, fmt_idx, fmt_idx + 1)))
#define LACF_SENTINEL_ATTR __attribute__((sentinel))
#define LACF_NORETURN __attribute__((noreturn))
#elif defined(__GNUC__) || defined(__clang__)
#define LACF_PRINTF_ATTR(fmt_idx) __attribute__((format(printf, fmt_idx, fmt_idx + 1)))
#define LACF_SENTINEL_ATTR __attribute__((sentinel))
#define LACF_NORETURN __attribute__((noreturn))
#else
#define LACF_PRINTF_ATTR(fmt_idx)
#define LACF_SENTINEL_ATTR
#define LACF_NORETURN
#endif

#endif
