#ifndef ACFUTILS_GLEW_H
#define ACFUTILS_GLEW_H

/*
 * The per-thread GLEW table. Each GL thread keeps its context record in the
 * thread-local slot lacf_glew_ctx_key; lacf_glew_context_init fills GLEW's
 * entry points for the GL context current on the calling thread.
 */

#include <GL/glew.h>

#include <os/os.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    GLenum init_result; /* GLEW's answer to the last initialisation */
    int initialised;
} lacf_glew_ctx_t;

extern os_tls_key_t lacf_glew_ctx_key;

/* The calling thread's record; made and stored in the slot on first use. */
lacf_glew_ctx_t *lacf_glew_get_context(void);

/* Loads GLEW's entry points for the current GL context; returns GLEW's result. */
GLenum lacf_glew_context_init(lacf_glew_ctx_t *ctx);

#ifdef __cplusplus
}
#endif

#endif
