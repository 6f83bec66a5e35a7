#ifndef ACFUTILS_HELPERS_H
#define ACFUTILS_HELPERS_H

/* Memory and path helpers. */

#include <stddef.h>

#include "core.h"

#ifdef __cplusplus
extern "C" {
#endif

#if IBM
#define DIRSEP '\\'
#define DIRSEP_S "\\"
#else
#define DIRSEP '/'
#define DIRSEP_S "/"
#endif

/* Memory that the utility layer may release; lacf_free(NULL) does nothing. */
void *lacf_malloc(size_t size);
void lacf_free(void *ptr);

/*
 * Joins the pieces, ended by a NULL, with the platform's directory separator
 * into a newly allocated path (release it with lacf_free). No separator is
 * added after a piece that already ends in one.
 */
char *__libacfutils_mkpathname(const char *piece, ...) LACF_SENTINEL_ATTR;
#define mkpathname __libacfutils_mkpathname

#ifdef __cplusplus
}
#endif

#endif
