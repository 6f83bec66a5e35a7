#ifndef ACFUTILS_CONF_H
#define ACFUTILS_CONF_H

/*
 * Settings files: plain text, one "key = value" per line, '#' starts a
 * comment line. Entries keep the order in which they were read or added;
 * comment and blank lines are written back where they stood, and a file read
 * with CRLF line endings is written back with them.
 */

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct conf conf_t;

conf_t *conf_create_empty(void);
void conf_free(conf_t *conf);

/*
 * Reads the file at `filename`. Malformed lines are logged with their number
 * and skipped; `errline` (may be NULL) receives the first such line's number,
 * or -1 when there was none. Returns NULL only when the file cannot be read.
 */
conf_t *conf_read_file(const char *filename, int *errline);

/*
 * Writes every entry to `filename` through a temporary file in the same folder
 * that is renamed over the old one, so the file is never left half written.
 */
bool conf_write_file(const conf_t *conf, const char *filename);

/* False (and *value untouched) when the key is absent or not a 32-bit integer. */
bool conf_get_i(const conf_t *conf, const char *key, int *value);
void conf_set_i(conf_t *conf, const char *key, int value);
/* The value as written, valid until the entry changes; false when the key is absent. */
bool conf_get_str(const conf_t *conf, const char *key, const char **value);
/* A value that would not read back as itself (a line break, a control byte) is refused and logged. */
void conf_set_str(conf_t *conf, const char *key, const char *value);

/* Appends the comment line "# text"; text that would not read back as one comment line is refused. */
void conf_add_comment(conf_t *conf, const char *text);

#ifdef __cplusplus
}
#endif

#endif
